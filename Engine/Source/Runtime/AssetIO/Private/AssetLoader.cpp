#include "AssetLoader.h"

#include "AssetIOLog.h"
#include "Engine/Texture2D.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "PngReader.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"


namespace
{
	/** What one file kind makes: its class, and a function that reads the file into a new asset. */
	struct FAssetFactory
	{
		const TCHAR* Extension;
		UClass* (*GetAssetClass)();
		/**
		 * Makes the asset Name in package PackageName from Filename; null with the reason in
		 * OutError. The package is made only once the file has been read, so a failed load
		 * leaves nothing behind.
		 */
		UObject* (*Import)(const FString& PackageName, FName Name, const FString& Filename, FString& OutError);
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

	UObject* ImportPngTexture(const FString& PackageName, FName Name, const FString& Filename, FString& OutError)
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

	const FAssetFactory Factories[] = {
		{TEXT(".png"), &UTexture2D::StaticClass, &ImportPngTexture},
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

	UClass* AssetClass = Factory->GetAssetClass();
	if (!AssetClass->IsChildOf(Class))
	{
		return Fail(FString::Printf(TEXT("%s holds a %s, not a %s"), *Filename, *AssetClass->GetName(), *Class->GetName()));
	}
	FString ImportError;
	UObject* Asset = Factory->Import(PackageName, FName(AssetName), Filename, ImportError);
	if (!Asset)
	{
		return Fail(FString::Printf(TEXT("%s: %s"), *Filename, *ImportError));
	}
	return Asset;
}
