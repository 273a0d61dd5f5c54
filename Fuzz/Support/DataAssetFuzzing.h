#pragma once

// The body of the data-asset fuzzers: each reads the input as its asset's JSON file.

#include "FuzzCheck.h"
#include "FuzzSupport.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

/**
 * Loads the input through T::Load, as a project's file. A file that loads gives an asset of
 * class T; one that does not gives nothing, whatever it holds.
 */
template <typename T>
int FuzzDataAssetLoad(const uint8_t* Data, size_t Size)
{
	const TStrongObjectPtr<T> Asset = T::Load(FuzzSupport::WriteScratchFile(Data, Size, TEXT("json")));
	FUZZ_CHECK(!Asset.IsValid() || Asset->GetClass() == T::StaticClass());
	FuzzSupport::CollectGarbageEvery(512);
	return 0;
}
