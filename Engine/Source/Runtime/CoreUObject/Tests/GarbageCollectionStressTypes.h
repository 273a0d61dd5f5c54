#pragma once

// Objects for the collection stress tests: one class holding an object reference in every
// reflected form the runtime supports (raw and TObjectPtr pointers, arrays, map keys and
// values, sets, records, records in arrays in records, weak and soft pointers), plus one
// reference list the class reports itself through AddReferencedObjects. C arrays and interface
// references cannot be reflected (HeaderTool rejects them), and lazy pointers do not exist here,
// so they have no slot.

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"
#include "UObject/SoftObjectPtr.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include "GarbageCollectionStressTypes.generated.h"

USTRUCT()
struct FGCStressLink
{
	GENERATED_BODY()

	UPROPERTY()
	TObjectPtr<UObject> Target = nullptr;
};

/** The base of a record: collection must walk a record's base properties too. */
USTRUCT()
struct FGCStressBundleBase
{
	GENERATED_BODY()

	UPROPERTY()
	UObject* Direct = nullptr;
};

USTRUCT()
struct FGCStressBundle : public FGCStressBundleBase
{
	GENERATED_BODY()

	UPROPERTY()
	TArray<FGCStressLink> Links;

	UPROPERTY()
	TWeakObjectPtr<UObject> Weak;
};

/** A record used as a set element: its object reference feeds its hash. */
USTRUCT()
struct FGCStressKey
{
	GENERATED_BODY()

	UPROPERTY()
	TObjectPtr<UObject> Target = nullptr;

	UPROPERTY()
	int32 Tag = 0;

	bool operator==(const FGCStressKey& Other) const { return Target == Other.Target && Tag == Other.Tag; }
	friend uint32 GetTypeHash(const FGCStressKey& Key) { return HashCombine(GetTypeHash(Key.Target), GetTypeHash(Key.Tag)); }
};

UCLASS()
class UGCStressNode : public UObject
{
	GENERATED_BODY()

public:
	/** The test's own number for the object, recorded when it is destroyed. */
	UPROPERTY()
	int32 Id = INDEX_NONE;

	UPROPERTY()
	UGCStressNode* Raw = nullptr;

	UPROPERTY()
	TObjectPtr<UObject> Ptr = nullptr;

	UPROPERTY()
	TArray<TObjectPtr<UObject>> Array;

	UPROPERTY()
	TMap<TObjectPtr<UObject>, int32> ByKey;

	UPROPERTY()
	TMap<int32, UGCStressNode*> ByValue;

	UPROPERTY()
	TMap<UObject*, TObjectPtr<UObject>> Pairs;

	UPROPERTY()
	TSet<TObjectPtr<UObject>> Members;

	UPROPERTY()
	TSet<FGCStressKey> KeyRecords;

	UPROPERTY()
	FGCStressBundle Bundle;

	UPROPERTY()
	TArray<FGCStressBundle> Bundles;

	UPROPERTY()
	TMap<int32, FGCStressBundle> BundlesByTag;

	UPROPERTY()
	TWeakObjectPtr<UGCStressNode> Weak;

	UPROPERTY()
	TSoftObjectPtr<UGCStressNode> Soft;

	/** Not reflected: kept alive only because AddReferencedObjects reports it. */
	TArray<UObject*> Unreflected;

	static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector);
	void BeginDestroy() override;

	/** How many times each node id has begun destruction (more than once is a fault). */
	static TMap<int32, int32>& GetDestructionCounts();
};

/** Adds a reference declared by a derived class, which collection must follow too. */
UCLASS()
class UGCStressLeaf : public UGCStressNode
{
	GENERATED_BODY()

public:
	UPROPERTY()
	TObjectPtr<UGCStressNode> LeafRef = nullptr;
};
