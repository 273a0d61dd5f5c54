#pragma once

// The bone hierarchy of a skeleton or skinned mesh and its reference (bind) pose: bones in an
// order where every parent comes before its children, each with a local (parent-relative)
// transform. Built through FReferenceSkeletonModifier, which checks every bone as it is added.
// There are no virtual bones here, so the raw and final views are the same bones.

#include "CoreMinimal.h"

class USkeleton;

/** One bone: its name and the index of its parent, INDEX_NONE for a root. */
struct FMeshBoneInfo
{
	FName Name;
	int32 ParentIndex = INDEX_NONE;
	/** The name the bone had in the file it came from. */
	FString ExportName;

	FMeshBoneInfo() = default;
	FMeshBoneInfo(const FName& InName, const FString& InExportName, int32 InParentIndex)
		: Name(InName), ParentIndex(InParentIndex), ExportName(InExportName)
	{
	}

	bool operator==(const FMeshBoneInfo& Other) const { return Name == Other.Name && ParentIndex == Other.ParentIndex; }
};

class ENGINE_API FReferenceSkeleton
{
public:
	int32 GetNum() const { return RawRefBoneInfo.Num(); }
	int32 GetRawBoneNum() const { return RawRefBoneInfo.Num(); }
	const TArray<FMeshBoneInfo>& GetRefBoneInfo() const { return RawRefBoneInfo; }
	const TArray<FMeshBoneInfo>& GetRawRefBoneInfo() const { return RawRefBoneInfo; }
	/** The local transform of every bone in the reference pose. */
	const TArray<FTransform>& GetRefBonePose() const { return RawRefBonePose; }
	const TArray<FTransform>& GetRawRefBonePose() const { return RawRefBonePose; }

	bool IsValidIndex(int32 BoneIndex) const { return RawRefBoneInfo.IsValidIndex(BoneIndex); }
	/** The index of the bone named BoneName (names compare without letter case), or INDEX_NONE. */
	int32 FindBoneIndex(const FName& BoneName) const;
	int32 FindRawBoneIndex(const FName& BoneName) const { return FindBoneIndex(BoneName); }
	/** The bone's name; an index that names no bone is a failed check. */
	FName GetBoneName(int32 BoneIndex) const;
	/** The parent of the bone, INDEX_NONE for a root; an index that names no bone is a failed check. */
	int32 GetParentIndex(int32 BoneIndex) const;
	/** True when ParentBoneIndex is an ancestor of ChildBoneIndex (a bone is not its own child). */
	bool BoneIsChildOf(int32 ChildBoneIndex, int32 ParentBoneIndex) const;
	/** How many parent steps lead from BoneIndex up to ParentBoneIndex: 0 for the bone itself, INDEX_NONE when it is no ancestor. */
	int32 GetDepthBetweenBones(int32 BoneIndex, int32 ParentBoneIndex) const;

	void Empty(int32 Size = 0);

	bool operator==(const FReferenceSkeleton& Other) const;

private:
	friend class FReferenceSkeletonModifier;

	TArray<FMeshBoneInfo> RawRefBoneInfo;
	TArray<FTransform> RawRefBonePose;
	TMap<FName, int32> RawNameToIndexMap;
};

/**
 * Adds bones to a reference skeleton and edits its pose. Every call is checked before it
 * changes anything, so a rejected bone leaves the skeleton as it was.
 */
class ENGINE_API FReferenceSkeletonModifier
{
public:
	/** InSkeleton is the skeleton asset being built, if any; it is only named in failure messages. */
	FReferenceSkeletonModifier(FReferenceSkeleton& InRefSkel, const USkeleton* InSkeleton);

	/**
	 * Appends a bone. Its name must be set and unused; its parent must be a bone added before
	 * it, or INDEX_NONE for a root, and only the first bone may be a root unless
	 * bAllowMultipleRoots. Anything else is a failed check naming the bone.
	 */
	void Add(const FMeshBoneInfo& BoneInfo, const FTransform& BonePose, bool bAllowMultipleRoots = false);
	/** Replaces the reference-pose transform of an existing bone. */
	void UpdateRefPoseTransform(int32 BoneIndex, const FTransform& BonePose);
	int32 FindBoneIndex(const FName& BoneName) const { return RefSkeleton.FindBoneIndex(BoneName); }
	const FReferenceSkeleton& GetReferenceSkeleton() const { return RefSkeleton; }

private:
	FString DescribeOwner() const;

	FReferenceSkeleton& RefSkeleton;
	const USkeleton* Skeleton;
};
