#include "RemoteCall.h"

#include "Engine/World.h"
#include "JsonFunctionCall.h"
#include "UObject/Class.h"
#include "UObject/UObjectGlobals.h"

bool FRemoteCall::Resolve(const UWorld& World, const FJsonObject& Request, FRemoteCall& OutCall, FStudioResponse& OutRefusal)
{
	FString Path;
	FString FunctionName;
	if (!ReadStringField(Request, TEXT("object"), Path) || !ReadStringField(Request, TEXT("function"), FunctionName))
	{
		OutRefusal = FStudioResponse::Error(400, TEXT("a call names its \"object\" (an object path) and its \"function\", both strings"));
		return false;
	}
	const TSharedPtr<FJsonObject>* Arguments = nullptr;
	if (Request.HasField(TEXT("arguments")) && !Request.TryGetObjectField(TEXT("arguments"), Arguments))
	{
		OutRefusal = FStudioResponse::Error(400, TEXT("a call's \"arguments\" is an object of parameter names and values"));
		return false;
	}
	UObject* Object = StaticFindObject(UObject::StaticClass(), nullptr, *Path);
	if (!IsValid(Object))
	{
		OutRefusal = FStudioResponse::Error(404, FString::Printf(TEXT("there is no object %s"), *Path));
		return false;
	}
	if (!Object->IsIn(&World))
	{
		OutRefusal = FStudioResponse::Error(403, FString::Printf(TEXT("%s is not part of the edited world"), *Path));
		return false;
	}
	UFunction* Function = Object->FindFunction(FName(*FunctionName));
	if (!Function)
	{
		OutRefusal = FStudioResponse::Error(404, FString::Printf(TEXT("%s has no function named %s"), *Object->GetClass()->GetName(), *FunctionName));
		return false;
	}
	if (!Function->HasAnyFunctionFlags(FUNC_BlueprintCallable))
	{
		OutRefusal = FStudioResponse::Error(403, FString::Printf(TEXT("%s.%s is not BlueprintCallable"), *Object->GetClass()->GetName(), *Function->GetName()));
		return false;
	}
	OutCall.Object = Object;
	OutCall.Function = Function;
	OutCall.Arguments = Arguments ? Arguments->ToSharedRef() : MakeShared<FJsonObject>();
	return true;
}

FStudioResponse FRemoteCall::Invoke() const
{
	TSharedPtr<FJsonObject> Results;
	FString Error;
	EJsonFunctionCallFailure Failure = EJsonFunctionCallFailure::None;
	if (!FJsonFunctionCall::Call(Object, Function->GetFName(), Arguments, Results, Error, &Failure))
	{
		return FStudioResponse::Error(Failure == EJsonFunctionCallFailure::CheckFailed ? 500 : 400, Error);
	}
	const TSharedRef<FJsonObject> Answer = MakeShared<FJsonObject>();
	Answer->SetObjectField(TEXT("results"), Results);
	return FStudioResponse::Json(Answer);
}
