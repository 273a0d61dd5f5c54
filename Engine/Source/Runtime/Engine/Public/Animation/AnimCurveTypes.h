#pragma once

// FBlendedCurve: the named float curves a pose carries beside its bones.

#include "CoreMinimal.h"

struct FBoneContainer;

struct ENGINE_API FBlendedCurve
{
	/** Empties the curve set for a pose of that container. */
	void InitFrom(const FBoneContainer& InBoneContainer) { Empty(); }
	void Empty() { Values.Empty(); }

	void Set(FName InName, float InValue) { Values.Add(InName, InValue); }
	/** The curve's value, 0 when the set has no such curve. */
	float Get(FName InName) const { return Values.FindRef(InName); }
	bool Contains(FName InName) const { return Values.Contains(InName); }
	int32 Num() const { return Values.Num(); }
	bool IsEmpty() const { return Values.IsEmpty(); }

private:
	TMap<FName, float> Values;
};
