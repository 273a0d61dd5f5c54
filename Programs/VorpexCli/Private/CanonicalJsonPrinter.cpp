#include "CanonicalJsonPrinter.h"

#include "JsonObjectConverter.h"
#include "Policies/JsonPrintPolicy.h"
#include "UObject/Object.h"

#include <cmath>

namespace
{
	using FPolicy = TJsonPrintPolicy<TCHAR>;

	void Indent(FString& Out, int32 Level)
	{
		Out += FString::ChrN(Level * 2, ' ');
	}

	void PrintValue(FString& Out, const FJsonValue* Value, int32 Level);

	void PrintMembers(FString& Out, const FJsonObject& Object, int32 Level)
	{
		if (Object.Values.IsEmpty())
		{
			Out += TEXT("{}");
			return;
		}
		Out += TEXT("{\n");
		int32 Index = 0;
		for (const auto& Pair : Object.Values)
		{
			Indent(Out, Level + 1);
			FPolicy::WriteQuotedString(&Out, Pair.Key);
			Out += TEXT(": ");
			PrintValue(Out, Pair.Value.Get(), Level + 1);
			Out += ++Index < Object.Values.Num() ? TEXT(",\n") : TEXT("\n");
		}
		Indent(Out, Level);
		Out += TEXT("}");
	}

	void PrintElements(FString& Out, const TArray<TSharedPtr<FJsonValue>>& Elements, int32 Level)
	{
		if (Elements.IsEmpty())
		{
			Out += TEXT("[]");
			return;
		}
		Out += TEXT("[\n");
		for (int32 Index = 0; Index < Elements.Num(); ++Index)
		{
			Indent(Out, Level + 1);
			PrintValue(Out, Elements[Index].Get(), Level + 1);
			Out += Index + 1 < Elements.Num() ? TEXT(",\n") : TEXT("\n");
		}
		Indent(Out, Level);
		Out += TEXT("]");
	}

	void PrintNumber(FString& Out, double Number)
	{
		// The records' real fields are floats, which reach here widened to double.
		if (std::isfinite(Number) && static_cast<double>(static_cast<float>(Number)) == Number)
		{
			FPolicy::WriteFloat(&Out, static_cast<float>(Number));
		}
		else
		{
			FPolicy::WriteDouble(&Out, Number);
		}
	}

	void PrintValue(FString& Out, const FJsonValue* Value, int32 Level)
	{
		if (!Value)
		{
			Out += TEXT("null");
			return;
		}
		switch (Value->Type)
		{
		case EJson::None:
		case EJson::Null:
			Out += TEXT("null");
			break;
		case EJson::String:
			FPolicy::WriteQuotedString(&Out, Value->AsString());
			break;
		case EJson::Number:
			PrintNumber(Out, Value->AsNumber());
			break;
		case EJson::Boolean:
			Out += Value->AsBool() ? TEXT("true") : TEXT("false");
			break;
		case EJson::Array:
			PrintElements(Out, Value->AsArray(), Level);
			break;
		case EJson::Object:
			PrintMembers(Out, *Value->AsObject(), Level);
			break;
		}
	}
}

bool FCanonicalJsonPrinter::PrintAsset(const UObject& Asset, FString& OutText)
{
	// A skip flag that only function return values carry keeps the converter from leaving
	// out transient or deprecated fields, which it does when no skip flag is given.
	TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
	if (!FJsonObjectConverter::UStructToJsonObject(Asset.GetClass(), &Asset, Object, 0, CPF_ReturnParm, nullptr,
			EJsonObjectConversionFlags::SkipStandardizeCase))
	{
		return false;
	}
	FString Text;
	PrintMembers(Text, *Object, 0);
	OutText = Text + TEXT("\n");
	return true;
}
