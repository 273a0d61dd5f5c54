#include "AssetLoader.h"

#include "AssetIOLog.h"
#include "Animation/AnimSequence.h"
#include "Dom/JsonObject.h"
#include "Engine/DataAsset.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "JsonObjectConverter.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/PackageName.h"
#include "GltfImporter.h"
#include "Misc/Paths.h"
#include "PngReader.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

namespace
{
	/** What one file kind makes, and a function that reads the file into a new asset. */
	struct FAssetFactory
	{
		const TCHAR* Extension;
		/** Why the file kind cannot give an asset of RequestedClass ("" when it can). */
		FString (*CheckClass)(const UClass* RequestedClass);
		/**
		 * Makes the asset Name of RequestedClass in package PackageName from Filename; null
		 * with the reason in OutError. The package gets the asset only once the file has been
		 * read and converted, so a failed load leaves nothing behind.
		 */
		UObject* (*Import)(const UClass* RequestedClass, const FString& PackageName, FName Name, const FString& Filename, FString& OutError);
	};

	/**
	 * The settings a texture artist expects from a file named Name (see AssetLoader.h): data
	 * textures by their suffix, colour textures by the file's colour chunks.
	 */
	void ApplyImportSettings(UTexture2D* Texture, FName Name, const TArray<uint8>& PngBytes)
	{
		const FString BaseName = Name.ToString();
		if (BaseName.EndsWith(TEXT("_N"), ESearchCase::IgnoreCase))
		{
			Texture->SRGB = false;
			Texture->CompressionSettings = TC_Normalmap;
			Texture->LODGroup = TEXTUREGROUP_WorldNormalMap;
		}
		else if (BaseName.EndsWith(TEXT("_Mask"), ESearchCase::IgnoreCase) || BaseName.EndsWith(TEXT("_M"), ESearchCase::IgnoreCase))
		{
			Texture->SRGB = false;
			Texture->CompressionSettings = TC_Masks;
		}
		else
		{
			Texture->SRGB = FPngReader::IsSRGB(PngBytes);
		}
	}

	FString CheckTextureClass(const UClass* RequestedClass)
	{
		if (!UTexture2D::StaticClass()->IsChildOf(RequestedClass))
		{
			return FString::Printf(TEXT("holds a %s, not a %s"), *UTexture2D::StaticClass()->GetName(), *RequestedClass->GetName());
		}
		return FString();
	}

	UObject* ImportPngTexture(const UClass* RequestedClass, const FString& PackageName, FName Name, const FString& Filename, FString& OutError)
	{
		TArray<uint8> PngBytes;
		if (!FFileHelper::LoadFileToArray(PngBytes, *Filename))
		{
			OutError = TEXT("the file cannot be read");
			return nullptr;
		}
		int32 Width = 0;
		int32 Height = 0;
		TArray<uint8> Texels;
		if (!FPngReader::DecodeBGRA(PngBytes, Width, Height, Texels, OutError))
		{
			return nullptr;
		}
		check(Texels.Num() == Width * Height * 4);
		auto Data = FTexturePlatformData::MakeSingleMip(Width, Height, PF_B8G8R8A8, Texels.GetData());
		UTexture2D* Texture = NewObject<UTexture2D>(CreatePackage(*PackageName), Name, RF_Public | RF_Standalone);
		Texture->SetPlatformData(std::move(Data));
		ApplyImportSettings(Texture, Name, PngBytes);
		return Texture;
	}

	/** A JSON file holds the properties of a data asset; only the requested class says which one. */
	FString CheckDataAssetClass(const UClass* RequestedClass)
	{
		if (!RequestedClass->IsChildOf(UDataAsset::StaticClass()) || RequestedClass->HasAnyClassFlags(CLASS_Abstract))
		{
			return FString::Printf(TEXT("holds a data asset, and %s is not a data asset class that can be made"), *RequestedClass->GetName());
		}
		return FString();
	}

	UObject* ImportJsonDataAsset(const UClass* RequestedClass, const FString& PackageName, FName Name, const FString& Filename, FString& OutError)
	{
		FString JsonText;
		if (!FFileHelper::LoadFileToString(JsonText, *Filename))
		{
			OutError = TEXT("the file cannot be read");
			return nullptr;
		}
		TSharedPtr<FJsonObject> JsonObject;
		const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(JsonText);
		if (!FJsonSerializer::Deserialize(Reader, JsonObject) || !JsonObject.IsValid())
		{
			OutError = Reader->GetErrorMessage().IsEmpty() ? FString(TEXT("the text is not a JSON object")) : Reader->GetErrorMessage();
			return nullptr;
		}
		// Filled apart from its package first: a file that does not convert must not leave a
		// half-filled asset where the next load would find it.
		UObject* Asset = NewObject<UObject>(GetTransientPackage(), RequestedClass);
		FText FailReason;
		if (!FJsonObjectConverter::JsonObjectToUStruct(JsonObject.ToSharedRef(), RequestedClass, Asset, 0, 0, false, &FailReason))
		{
			Asset->MarkAsGarbage();
			OutError = FailReason.IsEmpty() ? FString::Printf(TEXT("the JSON does not convert into a %s"), *RequestedClass->GetName())
											: FailReason.ToString();
			return nullptr;
		}
		verify(Asset->Rename(*Name.ToString(), CreatePackage(*PackageName)));
		Asset->SetFlags(RF_Public | RF_Standalone);
		return Asset;
	}

	/** A glTF file gives an animation only when one is asked for; any broader request gets the mesh. */
	bool WantsAnimation(const UClass* RequestedClass)
	{
		return UAnimSequence::StaticClass()->IsChildOf(RequestedClass) && !USkeletalMesh::StaticClass()->IsChildOf(RequestedClass);
	}

	FString CheckGltfClass(const UClass* RequestedClass)
	{
		if (!WantsAnimation(RequestedClass) && !USkeletalMesh::StaticClass()->IsChildOf(RequestedClass))
		{
			return FString::Printf(TEXT("holds a %s or an %s, not a %s"), *USkeletalMesh::StaticClass()->GetName(),
				*UAnimSequence::StaticClass()->GetName(), *RequestedClass->GetName());
		}
		return FString();
	}

	UObject* ImportGltf(const UClass* RequestedClass, const FString& PackageName, FName Name, const FString& Filename, FString& OutError)
	{
		// Made in the transient package and moved in once complete, so a failed import creates no package.
		UObject* Asset = nullptr;
		if (WantsAnimation(RequestedClass))
		{
			Asset = FGltfImporter::ImportAnimation(Filename, nullptr, MakeUniqueObjectName(GetTransientPackage(), UAnimSequence::StaticClass(), Name), OutError);
		}
		else
		{
			Asset = FGltfImporter::ImportSkeletalMesh(Filename, nullptr, MakeUniqueObjectName(GetTransientPackage(), USkeletalMesh::StaticClass(), Name), OutError);
		}
		if (Asset)
		{
			verify(Asset->Rename(*Name.ToString(), CreatePackage(*PackageName)));
			Asset->SetFlags(RF_Public | RF_Standalone);
		}
		return Asset;
	}

	const FAssetFactory Factories[] = {
		{TEXT(".png"), &CheckTextureClass, &ImportPngTexture},
		{TEXT(".json"), &CheckDataAssetClass, &ImportJsonDataAsset},
		{TEXT(".glb"), &CheckGltfClass, &ImportGltf},
		{TEXT(".gltf"), &CheckGltfClass, &ImportGltf},
	};

	const FAssetFactory* FindFactory(const FString& Extension)
	{
		for (const FAssetFactory& Factory : Factories)
		{
			if (Extension.Equals(Factory.Extension, ESearchCase::IgnoreCase))
			{
				return &Factory;
			}
		}
		return nullptr;
	}

	FString KnownExtensions()
	{
		TArray<FString> Extensions;
		for (const FAssetFactory& Factory : Factories)
		{
			Extensions.Add(Factory.Extension);
		}
		return FString::Join(Extensions, TEXT(", "));
	}
}

void FAssetLoader::Install()
{
	SetObjectLoader(&FAssetLoader::LoadAsset);
}

UObject* FAssetLoader::LoadAsset(const UClass* Class, const FString& ObjectPath)
{
	auto Fail = [&ObjectPath](const FString& Reason) -> UObject*
	{
		UE_LOG(LogAssetIO, Warning, TEXT("Cannot load '%s': %s"), *ObjectPath, *Reason);
		return nullptr;
	};
	if (!Class)
	{
		Class = UObject::StaticClass();
	}

	// "/Game/A/B.B" splits at its first '.'; a '.' followed by more folders ("/Game/../B") is
	// part of what was meant as a package name, which the validity check then refuses.
	FString PackageName = FPackageName::ObjectPathToPackageName(ObjectPath);
	FString RequestedName;
	if (PackageName.Len() < ObjectPath.Len())
	{
		RequestedName = ObjectPath.RightChop(PackageName.Len() + 1);
		if (RequestedName.Contains(TEXT("/")))
		{
			PackageName = ObjectPath;
			RequestedName.Empty();
		}
	}
	FText InvalidReason;
	if (!FPackageName::IsValidLongPackageName(PackageName, false, &InvalidReason))
	{
		return Fail(InvalidReason.ToString());
	}
	const FString AssetName = FPackageName::GetShortName(PackageName);
	// Object names compare without letter case, as FName does.
	if (PackageName.Len() < ObjectPath.Len() && !RequestedName.Equals(AssetName, ESearchCase::IgnoreCase))
	{
		return Fail(FString::Printf(TEXT("package '%s' holds only the asset '%s'"), *PackageName, *AssetName));
	}

	if (UObject* Existing = StaticFindObject(nullptr, nullptr, *(PackageName + TEXT(".") + AssetName)))
	{
		if (!Existing->IsA(Class))
		{
			return Fail(FString::Printf(TEXT("%s is already in memory and is not a %s"), *Existing->GetFullName(), *Class->GetName()));
		}
		return Existing;
	}

	FString BaseFilename;
	verify(FPackageName::TryConvertLongPackageNameToFilename(PackageName, BaseFilename));
	TArray<FString> Candidates;
	IFileManager::Get().FindFiles(Candidates, *FPaths::GetPath(BaseFilename), *(AssetName + TEXT(".*")));
	Candidates.RemoveAll([&AssetName](const FString& Name) { return !FPaths::GetBaseFilename(Name).Equals(AssetName, ESearchCase::CaseSensitive); });
	if (Candidates.IsEmpty())
	{
		return Fail(FString::Printf(TEXT("no file %s.* (known kinds: %s)"), *BaseFilename, *KnownExtensions()));
	}
	const FAssetFactory* Factory = nullptr;
	FString Filename;
	for (const FString& Candidate : Candidates)
	{
		if (const FAssetFactory* CandidateFactory = FindFactory(FPaths::GetExtension(Candidate, true)))
		{
			Factory = CandidateFactory;
			Filename = FPaths::Combine(FPaths::GetPath(BaseFilename), Candidate);
			break;
		}
	}
	if (!Factory)
	{
		const FString Unknown = FPaths::Combine(FPaths::GetPath(BaseFilename), Candidates[0]);
		return Fail(FString::Printf(TEXT("%s is of an unknown kind (known kinds: %s)"), *Unknown, *KnownExtensions()));
	}

	if (const FString ClassError = Factory->CheckClass(Class); !ClassError.IsEmpty())
	{
		return Fail(FString::Printf(TEXT("%s %s"), *Filename, *ClassError));
	}
	FString ImportError;
	UObject* Asset = Factory->Import(Class, PackageName, FName(AssetName), Filename, ImportError);
	if (!Asset)
	{
		return Fail(FString::Printf(TEXT("%s: %s"), *Filename, *ImportError));
	}
	return Asset;
}
