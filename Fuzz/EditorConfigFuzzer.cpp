// The character editor configuration's loader on any file.

#include "DataAssets/HCDataAssets.h"
#include "DataAssetFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	return FuzzDataAssetLoad<UHCCharacterEditorConfigData>(Data, Size);
}
