#pragma once
// The current user's Internet proxy settings, read the way WinHTTP reports
// them; the mapping to libcurl is portable (ProxyConfig.h).
#include "output/ProxyConfig.h"

// Empty (direct) when the settings cannot be read.
TSystemProxyConfig ReadSystemProxyConfig();
