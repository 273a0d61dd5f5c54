#pragma once

#include "CoreMinimal.h"
#include "ReferenceSkeleton.h"
#include "UObject/Object.h"

#include "Skeleton.generated.h"

class USkinnedAsset;

/** The bone hierarchy that animations are authored against and that meshes share. */
UCLASS(BlueprintType)
class ENGINE_API USkeleton : public UObject
{
	GENERATED_BODY()

public:
	const FReferenceSkeleton& GetReferenceSkeleton() const { return ReferenceSkeleton; }

	/**
	 * Makes the skeleton hold every bone of the asset's reference skeleton. An empty skeleton
	 * takes the asset's bones and pose as they are. Otherwise each asset bone must either be
	 * here already under the same parent name, or be new with its parent here; new bones are
	 * appended with the asset's reference pose. A null asset, or one whose hierarchy conflicts
	 * with this skeleton's, logs an error on LogAnimation and changes nothing (false).
	 */
	bool MergeAllBonesToBoneTree(const USkinnedAsset* InSkinnedAsset);

private:
	FReferenceSkeleton ReferenceSkeleton;
};
