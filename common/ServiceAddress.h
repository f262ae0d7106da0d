// The service's addresses, kept in this one place. When VXTAILCAST_SERVICE_URL is set
// (for example "http://127.0.0.1:8731"), its scheme, host and port replace those of every
// service address, so that one local server can stand in for the whole service.
#pragma once

#include <string>

namespace service_address {

inline constexpr char kCatalogueOrigin[] = "http://cat.vexo.com";
inline constexpr char kReminderOrigin[] = "http://rc.vexo.com";
inline constexpr char kPlayHistoryUrl[] = "http://history.vexo.com/apis/playrecord/list";
inline constexpr char kPingbackUrl[] = "http://pb.vexo.com/tailcast/pingback";

inline constexpr char kOverrideVariable[] = "VXTAILCAST_SERVICE_URL";

// The site's web hosts as the Flash players name their shared-object folders: the main
// pages' host, and the pattern that matches the folder of every host of the domain.
inline constexpr char kMainWebHost[] = "www.vexo.com";
inline constexpr char kWebHostPattern[] = "*.vexo.com";

}  // namespace service_address

// `url` with the override of the environment applied (unchanged when it is not set).
std::string ServiceUrl(const std::string& url);

// `url` with its scheme, host and port taken from `origin` ("scheme://host[:port]",
// anything after the authority ignored). A malformed origin leaves `url` unchanged.
std::string ReplaceServiceOrigin(const std::string& url, const std::string& origin);
