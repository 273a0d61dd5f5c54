#include "DataAssets/HCDataAssets.h"

#include "DataAssets/HCJsonDataAssetLoader.h"

TStrongObjectPtr<UHCAssetCatalogData> UHCAssetCatalogData::Load(const FString& Path)
{
	return HCJsonDataAssetLoader::LoadFromFile<UHCAssetCatalogData>(
		Path, TEXT("Failed to create UHCAssetCatalogData object."), TEXT("Failed to parse JSON into UHCAssetCatalogData"));
}

TStrongObjectPtr<UHCCharacterDescriptorData> UHCCharacterDescriptorData::Load(const FString& Path)
{
	return HCJsonDataAssetLoader::LoadFromFile<UHCCharacterDescriptorData>(
		Path, TEXT("Failed to create UHCCharacterDescriptorData object."), TEXT("Failed to parse JSON into UHCCharacterDescriptorData"));
}

TStrongObjectPtr<UHCCharacterEditorConfigData> UHCCharacterEditorConfigData::Load(const FString& Path)
{
	return HCJsonDataAssetLoader::LoadFromFile<UHCCharacterEditorConfigData>(Path,
		TEXT("Failed to create UHCCharacterEditorConfigData object."), TEXT("Failed to parse JSON into UHCCharacterEditorConfigData"));
}
