#include "report/wmi_win.h"

#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "common/deadline.h"
#include "common/deadlines.h"
#include "common/unicode_win.h"

namespace vtx {
namespace {

using Microsoft::WRL::ComPtr;

// Makes sure COM is usable on this thread for the duration of one query. On a
// worker of WmiRows this is the worker's own apartment.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

class Bstr {
public:
    explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

class Variant {
public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* operator&() { return &value_; }
    const VARIANT& get() const { return value_; }

private:
    VARIANT value_;
};

}  // namespace

bool WmiForEach(const std::string& query, const std::function<bool(IWbemClassObject&)>& visit) {
    ComScope com;
    ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(locator.GetAddressOf()))))
        return false;
    ComPtr<IWbemServices> services;
    Bstr space(L"ROOT\\CIMV2");
    if (FAILED(locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                      services.GetAddressOf())))
        return false;
    CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    Bstr language(L"WQL");
    Bstr text(Widen(query));
    ComPtr<IEnumWbemClassObject> objects;
    if (FAILED(services->ExecQuery(language.get(), text.get(), WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY,
                                   nullptr, objects.GetAddressOf())))
        return false;
    for (;;) {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        const HRESULT next = objects->Next(WBEM_INFINITE, 1, object.GetAddressOf(), &returned);
        if (FAILED(next)) return false;
        if (returned == 0 || !object) return true;
        if (!visit(*object.Get())) return true;
    }
}

std::optional<std::string> WmiPropertyText(IWbemClassObject& object, const wchar_t* name) {
    Variant value;
    if (FAILED(object.Get(name, 0, &value, nullptr, nullptr))) return std::nullopt;
    const VARIANT& v = value.get();
    switch (v.vt) {
        case VT_BSTR: return Narrow(std::wstring_view(v.bstrVal, SysStringLen(v.bstrVal)));
        case VT_I1: return std::to_string(v.cVal);
        case VT_UI1: return std::to_string(v.bVal);
        case VT_I2: return std::to_string(v.iVal);
        case VT_UI2: return std::to_string(v.uiVal);
        case VT_I4: return std::to_string(v.lVal);
        case VT_UI4: return std::to_string(v.ulVal);
        case VT_INT: return std::to_string(v.intVal);
        case VT_UINT: return std::to_string(v.uintVal);
        case VT_I8: return std::to_string(v.llVal);
        case VT_UI8: return std::to_string(v.ullVal);
        case VT_BOOL: return v.boolVal ? "-1" : "0";
        default: return std::nullopt;
    }
}

std::optional<std::vector<WmiRow>> WmiRows(const std::string& query, std::vector<std::wstring> properties,
                                           WmiLastRow isLast, const ProbeWait& wait) {
    // The worker owns copies of everything it uses and hands back plain text.
    auto work = [query, properties = std::move(properties),
                 isLast = std::move(isLast)]() -> std::optional<std::vector<WmiRow>> {
        std::vector<WmiRow> rows;
        const bool ran = WmiForEach(query, [&](IWbemClassObject& object) {
            WmiRow& row = rows.emplace_back();
            row.reserve(properties.size());
            for (const std::wstring& name : properties) row.push_back(WmiPropertyText(object, name.c_str()));
            return !(isLast && isLast(row));
        });
        if (!ran) return std::nullopt;
        return rows;
    };
    std::optional<std::optional<std::vector<WmiRow>>> answer =
        RunWithDeadline(wait.Limit(kWmiQueryDeadline), std::move(work), wait.whileWaiting);
    if (!answer) return std::nullopt;
    return std::move(*answer);
}

}  // namespace vtx
