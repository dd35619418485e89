// Memory and processor clock from the machine's WMI, and byte counts in the
// user's number format.
#pragma once
#include <string>

#include "common/probe_wait.h"
#include "report/system_info.h"

namespace vtx {

// Fills `info` from WMI (root\CIMV2) as FillSystemInfo describes; false when WMI
// cannot be reached or a query or property fails. Never throws for WMI errors.
// Each query has its deadline (see WmiRows): one that passes it fails as a
// refused query does, so the fields from there on stay empty.
bool GetSystemInfo(SystemInfo& info, const ProbeWait& wait = {});

// FormatBytes with the decimal and grouping separators of the user's regional
// settings ("." and "," when they cannot be read).
std::string FormatBytes(double bytes);

}  // namespace vtx
