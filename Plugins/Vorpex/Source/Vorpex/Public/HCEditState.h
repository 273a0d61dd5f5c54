#pragma once

// The edit state of a character as the model serializer saves it (the weight of each morph
// target and the colour of each colorize processor the editor addresses) and its byte form.
//
// Bytes, all numbers little-endian, nothing between the fields:
//   header   uint32 reserved flag (written 0, ignored), uint32 morph section present (0 or 1),
//            uint32 colour section present (0 or 1), int32 reserved number (written 1, ignored)
//   morph    int32 count, then per weight: the name as the engine's archives write strings
//            (int32 length; a positive length counts bytes of an ASCII name, a negative one
//            UTF-16 units; either form ends in a zero) and the weight as a 32-bit float
//   colour   int32 count, then per colour: int32 component, stack and processor index of
//            the colorize in the texture-editing model, then the colour's bytes B, G, R, A
// Booleans read as true for any non-zero value. There is no magic number, length or checksum;
// bytes after the last section are never read.

#include "CoreMinimal.h"

/** The weight of one morph target, by name. */
struct FHCMorphWeightRecord
{
	FString Name;
	float Weight = 0.0f;
};

/** The colour of the colorize at InterfaceProcessors[ProcessorIndex] of stack StackIndex of component ComponentIndex. */
struct FHCColorizeColorRecord
{
	int32 ComponentIndex = 0;
	int32 StackIndex = 0;
	int32 ProcessorIndex = 0;
	FColor Color;
};

struct VORPEX_API FHCEditState
{
	/** Whether the morph section is present. */
	bool bUseMorphTargets = false;
	/** Whether the colour section is present. */
	bool bUseTextureEditing = false;
	TArray<FHCMorphWeightRecord> MorphWeights;
	TArray<FHCColorizeColorRecord> ColorizeColors;

	/** Writes the state over OutBytes from its start; the array grows as needed and is never shortened. */
	void Write(TArray<uint8>& OutBytes) const;

	/**
	 * Replaces this state with the one Bytes hold. An empty array holds the header alone with
	 * both sections absent. Returns false, with the reason and its byte offset in OutError, when
	 * the bytes end inside the header, a count or an entry, when a count is negative or larger
	 * than the bytes left could hold, or when a name is damaged; the state is then incomplete.
	 */
	bool Read(const TArray<uint8>& Bytes, FString& OutError);
};
