// Module-wide values of the plug-in and the one way it calls the host.
#pragma once

#include "plugin/host_link.h"

inline constexpr char moduleName[] = "Kelvaron";
inline constexpr char receiveService[] = "Kelvaron/RecvMessage";
inline constexpr char playGameServiceName[] = "Kelvaron/PlayGame";

// Calls a host service through the link table; 0 before Load has given the table.
HostWord callHostService(const char* name, HostWord wParam, HostWord lParam);
