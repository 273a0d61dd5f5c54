#pragma once

#include "CoreMinimal.h"

#include <string>

/**
 * Keeps other sites out. A page of another origin can make the browser send requests to a
 * loopback port (and a rebinding DNS name can make them look same-origin), so every request
 * must name this server in Host, and, when the browser adds an Origin, come from a page of
 * this server.
 */
class FRequestOriginGuard
{
public:
	explicit FRequestOriginGuard(int32 InPort) : Port(InPort) {}

	/** Why a request with these headers (empty when absent) is refused, or empty when it is not. */
	FString CheckHeaders(const std::string& Host, const std::string& Origin) const;

private:
	/** True for "127.0.0.1:<port>" or "localhost:<port>" (letter case ignored). */
	bool IsOwnAuthority(const std::string& Authority) const;

	int32 Port;
};
