#include "ShaderIncluder.h"

#include "ShaderSourceResolver.h"

#include <string>

namespace
{
	struct FFailureMessage
	{
		std::string Message;
	};

	/**
	 * A failed include's result, which owns the message glslang reads from headerData. The
	 * message is a base listed first, so it exists before the result points at it.
	 */
	struct FFailedInclude : FFailureMessage, glslang::TShader::Includer::IncludeResult
	{
		explicit FFailedInclude(std::string InMessage)
			: FFailureMessage{std::move(InMessage)}
			, IncludeResult(std::string(), Message.data(), Message.size(), nullptr)
		{
		}
	};
}

glslang::TShader::Includer::IncludeResult* FShaderIncluder::includeLocal(const char* HeaderName, const char* IncluderName, size_t)
{
	return Resolve(HeaderName, IncluderName, false);
}

glslang::TShader::Includer::IncludeResult* FShaderIncluder::includeSystem(const char* HeaderName, const char* IncluderName, size_t)
{
	return Resolve(HeaderName, IncluderName, true);
}

glslang::TShader::Includer::IncludeResult* FShaderIncluder::Resolve(const char* HeaderName, const char* IncluderName, bool bReportFailure)
{
	FString Error;
	const FShaderSourceFile* File = Resolver.LoadInclude(FString(HeaderName), FString(IncluderName ? IncluderName : ""), Error);
	if (File)
	{
		// The resolver owns the text for the whole compile, so the result only points at it.
		return new IncludeResult(File->RealPath.ToStdString(), File->Text.data(), File->Text.size(), nullptr);
	}
	if (!bReportFailure)
	{
		return nullptr;
	}
	return new FFailedInclude(Error.ToStdString());
}

void FShaderIncluder::releaseInclude(IncludeResult* Result)
{
	if (Result && Result->headerName.empty())
	{
		delete static_cast<FFailedInclude*>(Result);
	}
	else
	{
		delete Result;
	}
}
