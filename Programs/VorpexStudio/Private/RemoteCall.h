#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "StudioResponse.h"

class UFunction;
class UObject;
class UWorld;

/**
 * A call of a widget's or component's blueprint function that the page asks for:
 * {"object": object path, "function": name, "arguments": {parameter: value}}. Only functions
 * marked BlueprintCallable, of objects inside the edited world, can be called, so a page can
 * move sliders and begin or finish editing, but reaches nothing else of the process.
 */
class FRemoteCall
{
public:
	/**
	 * Reads a call request and finds its object and function in World. False, with the answer
	 * in OutRefusal, when a field is missing or of the wrong type (400), the object is unknown
	 * (404) or outside World (403), the function is unknown (404) or not BlueprintCallable (403).
	 */
	static bool Resolve(const UWorld& World, const FJsonObject& Request, FRemoteCall& OutCall, FStudioResponse& OutRefusal);

	/** Calls it: {"results": {...}}, 400 when an argument does not fit its parameter, 500 with the check's text when a check fails in the call. */
	FStudioResponse Invoke() const;

	UObject* GetObject() const { return Object; }
	const UFunction* GetFunction() const { return Function; }
	const TSharedRef<FJsonObject>& GetArguments() const { return Arguments; }

private:
	UObject* Object = nullptr;
	UFunction* Function = nullptr;
	TSharedRef<FJsonObject> Arguments = MakeShared<FJsonObject>();
};
