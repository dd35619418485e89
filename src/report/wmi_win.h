// WMI queries in root\CIMV2 (the namespace the "winmgmts:" moniker opens), one
// connection per query, objects visited in the order WMI returns them.
#pragma once
#include <wbemidl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/probe_wait.h"

namespace vtx {

// Runs `query` (WQL, sent exactly as given) with "return immediately" and
// "forward only" and calls `visit` for each returned object until it returns false.
// False when WMI cannot be reached or the query or the enumeration fails.
bool WmiForEach(const std::string& query, const std::function<bool(IWbemClassObject&)>& visit);

// A property as text: strings as they are, numbers in plain decimal, true/false
// as -1/0. Empty optional when the property is missing, null or of another type.
std::optional<std::string> WmiPropertyText(IWbemClassObject& object, const wchar_t* name);

// The asked properties of one returned object, as WmiPropertyText gives them, in
// the order asked.
using WmiRow = std::vector<std::optional<std::string>>;
// Says of a row whether it is the last one wanted. Runs on the worker, so it must
// be a plain rule that refers to nothing of its caller.
using WmiLastRow = std::function<bool(const WmiRow& row)>;

// WmiForEach with a deadline: the query runs on a thread of its own, in a COM
// apartment of its own, and the caller waits for it at most
// wait.Limit(kWmiQueryDeadline). The rows up to and including the first that
// `isLast` accepts (all of them when none does); std::nullopt when WMI fails or
// the deadline passes. Nothing of COM leaves the worker; a late worker goes on
// alone and its rows are dropped.
std::optional<std::vector<WmiRow>> WmiRows(const std::string& query, std::vector<std::wstring> properties,
                                           WmiLastRow isLast, const ProbeWait& wait);

}  // namespace vtx
