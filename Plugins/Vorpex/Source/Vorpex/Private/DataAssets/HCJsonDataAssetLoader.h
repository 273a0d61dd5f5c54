#pragma once

// The one reading path shared by the data assets that are filled from JSON files.

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "JsonObjectConverter.h"
#include "Misc/FileHelper.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "UObject/Package.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

namespace HCJsonDataAssetLoader
{
	/**
	 * Reads the JSON file at Path into a new T in the transient package. Every failure is
	 * logged on LogTemp and gives an empty handle: an unreadable file as "Failed to load file:
	 * <Path>", a failed creation as CreateFailure, and text that is no JSON object or does not
	 * convert into T's fields as ParseFailure. A partly converted object is released, never
	 * handed out.
	 */
	template <typename T>
	TStrongObjectPtr<T> LoadFromFile(const FString& Path, const TCHAR* CreateFailure, const TCHAR* ParseFailure)
	{
		FString JsonText;
		if (!FFileHelper::LoadFileToString(JsonText, *Path))
		{
			UE_LOG(LogTemp, Warning, TEXT("Failed to load file: %s"), *Path);
			return TStrongObjectPtr<T>();
		}

		// Text that is not a JSON object cannot fill any field, so it is reported the way a
		// value of the wrong type is.
		TSharedPtr<FJsonObject> JsonObject;
		if (!FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(JsonText), JsonObject) || !JsonObject.IsValid())
		{
			UE_LOG(LogTemp, Warning, TEXT("%s"), ParseFailure);
			return TStrongObjectPtr<T>();
		}

		TStrongObjectPtr<T> Object(NewObject<T>(GetTransientPackage()));
		if (!Object.IsValid())
		{
			UE_LOG(LogTemp, Error, TEXT("%s"), CreateFailure);
			return TStrongObjectPtr<T>();
		}

		if (!FJsonObjectConverter::JsonObjectToUStruct(JsonObject.ToSharedRef(), Object.Get(), 0, 0, false, nullptr))
		{
			UE_LOG(LogTemp, Warning, TEXT("%s"), ParseFailure);
			// Dropping the only handle leaves the half-filled object to the next collection.
			Object.Reset();
			return TStrongObjectPtr<T>();
		}
		return Object;
	}
}
