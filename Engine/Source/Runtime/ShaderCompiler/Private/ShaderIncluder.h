#pragma once

// FShaderIncluder: answers glslang's #include requests from an FShaderSourceResolver. Included
// files are named by their real paths, so glslang's messages about them name the real file.

#include <glslang/Public/ShaderLang.h>

class FShaderSourceResolver;

class FShaderIncluder : public glslang::TShader::Includer
{
public:
	explicit FShaderIncluder(FShaderSourceResolver& InResolver) : Resolver(InResolver) {}

	/** `#include "X"`. A failure answers null, after which glslang asks includeSystem, which reports the reason. */
	IncludeResult* includeLocal(const char* HeaderName, const char* IncluderName, size_t InclusionDepth) override;
	/** `#include <X>`, and `#include "X"` after includeLocal failed: resolved the same way. */
	IncludeResult* includeSystem(const char* HeaderName, const char* IncluderName, size_t InclusionDepth) override;
	void releaseInclude(IncludeResult* Result) override;

private:
	IncludeResult* Resolve(const char* HeaderName, const char* IncluderName, bool bReportFailure);

	FShaderSourceResolver& Resolver;
};
