#include "DataAssets/HCCharacterEditorSkinCompositionData.h"

#include "DataAssets/HCJsonDataAssetLoader.h"

TStrongObjectPtr<UHCCharacterEditorSkinCompositionData> UHCCharacterEditorSkinCompositionData::Load(const FString& Path)
{
	return HCJsonDataAssetLoader::LoadFromFile<UHCCharacterEditorSkinCompositionData>(Path,
		TEXT("Failed to create UHCCharacterEditorSkinCompositionData object."),
		TEXT("Failed to parse JSON into UHCCharacterEditorSkinCompositionData"));
}
