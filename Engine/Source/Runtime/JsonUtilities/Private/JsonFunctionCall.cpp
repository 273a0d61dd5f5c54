#include "JsonFunctionCall.h"

#include "JsonObjectConverter.h"
#include "JsonValueReader.h"
#include "JsonValueWriter.h"
#include "UObject/Class.h"
#include "UObject/UnrealType.h"

#include <algorithm>
#include <new>

using UE::JsonUtilities::Private::FJsonPathSegment;
using UE::JsonUtilities::Private::FJsonValueReader;
using UE::JsonUtilities::Private::FJsonValueWriter;

namespace
{
	/**
	 * A function's parameter block: aligned memory of ParmsSize() bytes whose parameters are
	 * constructed by InitializeParms and destroyed, whatever way the call ends, with the block.
	 */
	class FParameterBlock
	{
	public:
		explicit FParameterBlock(const UFunction& InFunction)
			: Function(InFunction)
			, Alignment(static_cast<SIZE_T>(std::max(InFunction.GetMinAlignment(), 1)))
			, Memory(::operator new(static_cast<SIZE_T>(std::max(InFunction.ParmsSize(), 1)), std::align_val_t(Alignment)))
		{
			try
			{
				Function.InitializeParms(Memory);
			}
			catch (...)
			{
				::operator delete(Memory, std::align_val_t(Alignment));
				throw;
			}
		}
		~FParameterBlock()
		{
			Function.DestroyParms(Memory);
			::operator delete(Memory, std::align_val_t(Alignment));
		}
		FParameterBlock(const FParameterBlock&) = delete;
		FParameterBlock& operator=(const FParameterBlock&) = delete;

		void* Get() const { return Memory; }

	private:
		const UFunction& Function;
		SIZE_T Alignment;
		void* Memory;
	};

	/** The return value and every non-const reference (an output, or an in/out UPARAM(ref)) come back. */
	bool IsResult(const FProperty* Parameter)
	{
		return Parameter->HasAnyPropertyFlags(CPF_ReturnParm)
			|| (Parameter->HasAnyPropertyFlags(CPF_OutParm | CPF_ReferenceParm) && !Parameter->HasAnyPropertyFlags(CPF_ConstParm));
	}

	/** The input parameter named Name (letter case ignored), or null. */
	const FProperty* FindInputParameter(const UFunction& Function, const FString& Name)
	{
		for (const FProperty* Parameter : Function.GetOwnProperties())
		{
			if (!Parameter->HasAnyPropertyFlags(CPF_ReturnParm) && Parameter->GetAuthoredName() == Name)
			{
				return Parameter;
			}
		}
		return nullptr;
	}

	/** Converts the arguments, calls the function and collects its results; false with OutError on failure. */
	bool Invoke(UObject& Object, UFunction& Function, const FJsonObject& Arguments, TSharedPtr<FJsonObject>& OutResults, FString& OutError)
	{
		const FParameterBlock Parms(Function);

		FJsonValueReader Reader(0, 0, false);
		for (const FProperty* Parameter : Function.GetOwnProperties())
		{
			if (Parameter->HasAnyPropertyFlags(CPF_ReturnParm))
			{
				continue;
			}
			const FString Name = Parameter->GetAuthoredName();
			const TSharedPtr<FJsonValue>* Argument = Arguments.Values.Find(Name);
			if (Argument && Argument->IsValid()
				&& !Reader.ReadProperty(**Argument, Parameter, Parameter->ContainerPtrToValuePtr<void>(Parms.Get()),
					FJsonPathSegment::Member(nullptr, Name)))
			{
				OutError = Reader.GetError();
				return false;
			}
		}

		Object.ProcessEvent(&Function, Parms.Get());

		// Results are written by their declared names: they answer a call, they are not records.
		FJsonValueWriter Writer(0, 0, nullptr, EJsonObjectConversionFlags::SkipStandardizeCase);
		const TSharedRef<FJsonObject> Results = MakeShared<FJsonObject>();
		for (const FProperty* Parameter : Function.GetOwnProperties())
		{
			if (!IsResult(Parameter))
			{
				continue;
			}
			TSharedPtr<FJsonValue> Value = Writer.WriteProperty(Parameter, Parameter->ContainerPtrToValuePtr<void>(Parms.Get()));
			if (!Value.IsValid())
			{
				OutError = Writer.GetError();
				return false;
			}
			Results->Values.Add(Parameter->HasAnyPropertyFlags(CPF_ReturnParm) ? FString(TEXT("ReturnValue")) : Parameter->GetAuthoredName(),
				std::move(Value));
		}
		OutResults = Results.ToSharedPtr();
		return true;
	}
}

bool FJsonFunctionCall::Call(UObject* Object, FName FunctionName, const TSharedRef<FJsonObject>& Arguments, TSharedPtr<FJsonObject>& OutResults,
	FString& OutError, EJsonFunctionCallFailure* OutFailure)
{
	EJsonFunctionCallFailure Failure = EJsonFunctionCallFailure::Refused;
	const bool bCalled = CallAndClassify(Object, FunctionName, Arguments, OutResults, OutError, Failure);
	if (OutFailure)
	{
		*OutFailure = bCalled ? EJsonFunctionCallFailure::None : Failure;
	}
	return bCalled;
}

bool FJsonFunctionCall::CallAndClassify(UObject* Object, FName FunctionName, const TSharedRef<FJsonObject>& Arguments,
	TSharedPtr<FJsonObject>& OutResults, FString& OutError, EJsonFunctionCallFailure& OutFailure)
{
	OutResults.Reset();
	OutError.Empty();
	if (!IsValid(Object))
	{
		OutError = FString::Printf(TEXT("Cannot call %s: the object is null or being destroyed"), *FunctionName.ToString());
		return false;
	}
	UFunction* Function = Object->FindFunction(FunctionName);
	if (!Function)
	{
		OutError = FString::Printf(TEXT("%s has no function named %s"), *Object->GetClass()->GetName(), *FunctionName.ToString());
		return false;
	}
	// Every argument must name an input before anything runs, so a misspelt argument cannot
	// go unnoticed while the function runs with its default.
	for (const auto& Pair : Arguments->Values)
	{
		if (!FindInputParameter(*Function, Pair.Key))
		{
			OutError = FString::Printf(TEXT("%s has no parameter named '%s'"), *Function->GetName(), *Pair.Key);
			return false;
		}
	}
	try
	{
		return Invoke(*Object, *Function, *Arguments, OutResults, OutError);
	}
	catch (const FCheckFailure& Failure)
	{
		OutFailure = EJsonFunctionCallFailure::CheckFailed;
		OutResults.Reset();
		OutError = FString::Printf(TEXT("%s failed: %s"), *Function->GetName(), Failure.what());
		return false;
	}
}
