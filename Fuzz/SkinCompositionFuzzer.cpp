// The skin composition's loader on any file.

#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssetFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	return FuzzDataAssetLoad<UHCCharacterEditorSkinCompositionData>(Data, Size);
}
