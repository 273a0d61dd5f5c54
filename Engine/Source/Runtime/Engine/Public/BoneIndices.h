#pragma once

// Bone index types. A reference skeleton numbers its bones from 0; a compact pose numbers only
// the bones its bone container requires, so the two indices are kept apart by type.

#include "CoreMinimal.h"

typedef uint16 FBoneIndexType;

/** The index of a bone inside a compact pose (an index into its bone container's required bones). */
struct FCompactPoseBoneIndex
{
	explicit constexpr FCompactPoseBoneIndex(int32 InIndex) : Index(InIndex) {}

	constexpr int32 GetInt() const { return Index; }
	constexpr bool IsValid() const { return Index != INDEX_NONE; }
	constexpr bool IsRootBone() const { return Index == 0; }

	constexpr bool operator==(const FCompactPoseBoneIndex& Other) const { return Index == Other.Index; }
	constexpr bool operator!=(const FCompactPoseBoneIndex& Other) const { return Index != Other.Index; }
	constexpr bool operator<(const FCompactPoseBoneIndex& Other) const { return Index < Other.Index; }
	FCompactPoseBoneIndex& operator++()
	{
		++Index;
		return *this;
	}

private:
	int32 Index;
};
