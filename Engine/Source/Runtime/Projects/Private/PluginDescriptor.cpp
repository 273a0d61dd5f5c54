#include "PluginDescriptor.h"

#include "Dom/JsonObject.h"
#include "Internationalization/Text.h"
#include "Misc/FileHelper.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

namespace
{
	bool Fail(FText* OutFailReason, const FString& Reason)
	{
		if (OutFailReason)
		{
			*OutFailReason = FText::FromString(Reason);
		}
		return false;
	}

	/** Reads an optional string field; a field of another type is an error. */
	bool ReadOptionalString(const FJsonObject& Object, const TCHAR* Name, FString& OutValue, FText* OutFailReason)
	{
		if (!Object.HasField(Name))
		{
			OutValue.Empty();
			return true;
		}
		if (!Object.HasTypedField<EJson::String>(Name) || !Object.TryGetStringField(Name, OutValue))
		{
			return Fail(OutFailReason, FString::Printf(TEXT("\"%s\" is not a string"), Name));
		}
		return true;
	}
}

bool FPluginDescriptor::Load(const FString& FileName, FText* OutFailReason)
{
	FString Text;
	if (!FFileHelper::LoadFileToString(Text, *FileName))
	{
		return Fail(OutFailReason, FString::Printf(TEXT("the file '%s' could not be read"), *FileName));
	}
	return Read(Text, OutFailReason);
}

bool FPluginDescriptor::Read(const FString& Text, FText* OutFailReason)
{
	TSharedPtr<FJsonObject> Object;
	const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(Text);
	if (!FJsonSerializer::Deserialize(Reader, Object))
	{
		return Fail(OutFailReason, FString::Printf(TEXT("not a JSON object: %s"), *Reader->GetErrorMessage()));
	}
	FPluginDescriptor Read;
	if (!ReadOptionalString(*Object, TEXT("FriendlyName"), Read.FriendlyName, OutFailReason)
		|| !ReadOptionalString(*Object, TEXT("VersionName"), Read.VersionName, OutFailReason)
		|| !ReadOptionalString(*Object, TEXT("Description"), Read.Description, OutFailReason)
		|| !FModuleDescriptor::ReadArray(*Object, TEXT("Modules"), Read.Modules, OutFailReason))
	{
		return false;
	}
	*this = std::move(Read);
	return true;
}
