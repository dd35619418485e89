#include "profile/profile_sound_win.h"

#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <mmreg.h>
#include <mmsystem.h>
#include <propidl.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>

#include "common/com_win.h"
#include "common/unicode_win.h"
#include "profile/profile_probe.h"

namespace vtx {
namespace {

using Microsoft::WRL::ComPtr;

// PKEY_Device_FriendlyName
constexpr PROPERTYKEY kFriendlyName{{0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};

std::optional<std::string> FriendlyName(IMMDevice* device) {
    ComPtr<IPropertyStore> store;
    if (FAILED(device->OpenPropertyStore(STGM_READ, &store))) return std::nullopt;
    PROPVARIANT value;
    PropVariantInit(&value);
    std::optional<std::string> name;
    if (SUCCEEDED(store->GetValue(kFriendlyName, &value)) && value.vt == VT_LPWSTR && value.pwszVal)
        name = Narrow(value.pwszVal);
    PropVariantClear(&value);
    return name;
}

// Core Audio; false when its enumerator is not there.
bool QueryCoreAudio(SoundFacts& facts) {
    ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&enumerator))))
        return false;
    ComPtr<IMMDeviceCollection> devices;
    UINT count = 0;
    if (FAILED(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &devices)) ||
        FAILED(devices->GetCount(&count)))
        return false;
    for (UINT i = 0; i < count && i < 64; ++i) {
        ComPtr<IMMDevice> device;
        if (FAILED(devices->Item(i, &device))) continue;
        facts.outputs.push_back(FriendlyName(device.Get()).value_or(kNotDetermined));
    }
    facts.outcome = ProbeOutcome::Answered;

    ComPtr<IMMDevice> standard;
    if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &standard))) return true;  // none
    facts.defaultOutput = FriendlyName(standard.Get()).value_or(kNotDetermined);
    ComPtr<IAudioEndpointVolume> volume;
    if (FAILED(standard->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                                  reinterpret_cast<void**>(volume.GetAddressOf()))))
        return true;
    float level = 0;
    if (SUCCEEDED(volume->GetMasterVolumeLevelScalar(&level)) && std::isfinite(level))
        facts.volumePercent = static_cast<int>(std::lround(std::clamp(level, 0.0f, 1.0f) * 100));
    BOOL muted = FALSE;
    if (SUCCEEDED(volume->GetMute(&muted))) facts.muted = muted != FALSE;
    return true;
}

// The wave output devices, where Core Audio is not there.
void QueryWaveOut(SoundFacts& facts) {
    const UINT count = waveOutGetNumDevs();
    for (UINT i = 0; i < count && i < 64; ++i) {
        WAVEOUTCAPSW caps{};
        facts.outputs.push_back(waveOutGetDevCapsW(i, &caps, sizeof(caps)) == MMSYSERR_NOERROR
                                    ? NarrowBuffer(caps.szPname, MAXPNAMELEN)
                                    : kNotDetermined);
    }
    // The preferred device of the wave mapper.
    constexpr UINT kMapperPreferredGet = 0x2000 + 21;  // DRVM_MAPPER_PREFERRED_GET
    DWORD preferred = 0, flags = 0;
    if (waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), kMapperPreferredGet,
                       reinterpret_cast<DWORD_PTR>(&preferred), reinterpret_cast<DWORD_PTR>(&flags)) ==
            MMSYSERR_NOERROR &&
        preferred < facts.outputs.size())
        facts.defaultOutput = facts.outputs[preferred];
    facts.outcome = ProbeOutcome::Answered;
}

SoundFacts QuerySound() {
    SoundFacts facts;
    {
        const ComApartment apartment(COINIT_MULTITHREADED);  // the worker's own, left when the probe ends
        if (apartment.entered() && QueryCoreAudio(facts)) return facts;
    }
    facts = SoundFacts{};
    QueryWaveOut(facts);
    return facts;
}

}  // namespace

SoundFacts GetSoundFacts(std::chrono::milliseconds limit, const ProbeWait& wait) {
    return ProbeWithDeadline<SoundFacts>(wait.Limit(limit), [] { return QuerySound(); }, {}, wait.whileWaiting);
}

}  // namespace vtx
