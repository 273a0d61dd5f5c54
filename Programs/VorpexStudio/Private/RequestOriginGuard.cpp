#include "RequestOriginGuard.h"

#include <algorithm>
#include <cctype>

namespace
{
	std::string Lower(std::string Text)
	{
		std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char Character) { return char(std::tolower(Character)); });
		return Text;
	}
}

bool FRequestOriginGuard::IsOwnAuthority(const std::string& Authority) const
{
	const std::string Text = Lower(Authority);
	const std::string PortSuffix = ":" + std::to_string(Port);
	return Text == "127.0.0.1" + PortSuffix || Text == "localhost" + PortSuffix;
}

FString FRequestOriginGuard::CheckHeaders(const std::string& Host, const std::string& Origin) const
{
	if (!IsOwnAuthority(Host))
	{
		return FString::Printf(TEXT("requests must be addressed to 127.0.0.1:%d, not to '%s'"), Port, Host.c_str());
	}
	const std::string Scheme = "http://";
	if (!Origin.empty() && (Lower(Origin).rfind(Scheme, 0) != 0 || !IsOwnAuthority(Origin.substr(Scheme.size()))))
	{
		return FString::Printf(TEXT("requests from pages of %s are refused"), Origin.c_str());
	}
	return FString();
}
