#include "ShaderCompilerEnvironment.h"

#include "Misc/AssertionMacros.h"

#include <cmath>

void FShaderCompilerEnvironment::SetDefine(const TCHAR* Name, const TCHAR* Value)
{
	Definitions.Add(FString(Name), FString(Value));
}

void FShaderCompilerEnvironment::SetDefine(const TCHAR* Name, const FString& Value)
{
	Definitions.Add(FString(Name), Value);
}

void FShaderCompilerEnvironment::SetDefine(const TCHAR* Name, int32 Value)
{
	Definitions.Add(FString(Name), FString::Printf(TEXT("%d"), Value));
}

void FShaderCompilerEnvironment::SetDefine(const TCHAR* Name, uint32 Value)
{
	// Values above INT_MAX carry the unsigned suffix, without which HLSL would not read them as an int literal.
	Definitions.Add(FString(Name), FString::Printf(Value > uint32(MAX_int32) ? TEXT("%uu") : TEXT("%u"), Value));
}

void FShaderCompilerEnvironment::SetDefine(const TCHAR* Name, float Value)
{
	checkf(std::isfinite(Value), TEXT("FShaderCompilerEnvironment::SetDefine: '%s' is %f, which HLSL has no literal for"), Name, double(Value));
	// Nine significant digits read back to the same float; a literal without a point or an
	// exponent would be an integer in HLSL and change the arithmetic it appears in.
	FString Text = FString::Printf(TEXT("%.9g"), double(Value));
	if (!Text.Contains(TEXT(".")) && !Text.Contains(TEXT("e")))
	{
		Text += TEXT(".0");
	}
	Definitions.Add(FString(Name), Text);
}

void FShaderCompilerEnvironment::SetDefine(const TCHAR* Name, bool Value)
{
	Definitions.Add(FString(Name), FString(Value ? TEXT("1") : TEXT("0")));
}
