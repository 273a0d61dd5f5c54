#pragma once

// FJsonFunctionCall: calls a reflected function of an object by name, taking its arguments
// from a JSON object and giving its results as one. This is Vorpex's own helper, not part of
// the engine's API; the studio uses it to call the blueprint functions of widgets.
//
// Arguments are matched to parameters by name, letter case ignored, and converted by the
// reading rules of FJsonObjectConverter. A parameter without an argument keeps the value the
// parameter block starts with; a reference parameter (T&) may be given a value too, which
// the function then sees. The results hold every output parameter (non-const references)
// under its declared name and the return value under "ReturnValue", written by
// FJsonObjectConverter's writing rules with the declared names.

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "Templates/SharedPointer.h"

class UObject;

/** Why a call failed: the request was wrong and nothing ran, or the function ran and a check failed in it. */
enum class EJsonFunctionCallFailure : uint8
{
	None,
	Refused,
	CheckFailed,
};

class JSONUTILITIES_API FJsonFunctionCall
{
public:
	/**
	 * Calls FunctionName on Object. False, with OutError saying why and OutResults null, when
	 * the object is null or garbage, it has no such function, an argument names no input
	 * parameter or cannot be converted, a result cannot be written (all Refused), or a check
	 * fails inside the call (CheckFailed; OutError then holds the check's text). OutFailure,
	 * when given, receives which.
	 */
	static bool Call(UObject* Object, FName FunctionName, const TSharedRef<FJsonObject>& Arguments, TSharedPtr<FJsonObject>& OutResults,
		FString& OutError, EJsonFunctionCallFailure* OutFailure = nullptr);

private:
	static bool CallAndClassify(UObject* Object, FName FunctionName, const TSharedRef<FJsonObject>& Arguments, TSharedPtr<FJsonObject>& OutResults,
		FString& OutError, EJsonFunctionCallFailure& OutFailure);
};
