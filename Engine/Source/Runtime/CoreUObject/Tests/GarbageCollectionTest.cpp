#include "ReflectionTestTypes.h"
#include "UObject/GCObject.h"
#include "UObject/Package.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

namespace
{
	class FHolder final : public FGCObject
	{
	public:
		void AddReferencedObjects(FReferenceCollector& Collector) override { Collector.AddReferencedObject(Held); }
		FString GetReferencerName() const override { return FString("FHolder"); }
		UObject* Held = nullptr;
	};

	/** A referencer whose report fails a check while the collector is marking. */
	class FFailingReferencer final : public FGCObject
	{
	public:
		void AddReferencedObjects(FReferenceCollector& Collector) override { checkf(!bFail, TEXT("referencer failed on purpose")); }
		FString GetReferencerName() const override { return FString("FFailingReferencer"); }
		bool bFail = true;
	};
}

namespace
{
	/** True until the object is destroyed (marked garbage or not). */
	bool Alive(const FWeakObjectPtr& Weak)
	{
		return Weak.Get(true) != nullptr;
	}
}

class GarbageCollectionTest : public ::testing::Test
{
protected:
	void SetUp() override { CollectGarbage(); }
	void TearDown() override { CollectGarbage(); }
};

TEST_F(GarbageCollectionTest, ReachabilityFollowsReflectedReferencesAtAnyDepth)
{
	TStrongObjectPtr<UTestObject> Root(NewObject<UTestObject>());
	UTestObject* DeepTarget = NewObject<UTestObject>();
	UTestObject* ArrayTarget = NewObject<UTestObject>();
	UTestObject* SetTarget = NewObject<UTestObject>();
	UTestObject* Unreferenced = NewObject<UTestObject>();

	FTestRecord Record;
	Record.links.AddDefaulted_GetRef().target = DeepTarget; // record in an array in a record in a map
	Root->Records.Add("deep", Record);
	Root->Objects.Add(ArrayTarget);
	Root->Members.Add(SetTarget);

	const FWeakObjectPtr WeakDeep(DeepTarget), WeakArray(ArrayTarget), WeakSet(SetTarget), WeakLost(Unreferenced);
	CollectGarbage();
	EXPECT_TRUE(Alive(WeakDeep));
	EXPECT_TRUE(Alive(WeakArray));
	EXPECT_TRUE(Alive(WeakSet));
	EXPECT_FALSE(Alive(WeakLost));
	EXPECT_TRUE(WeakLost.IsStale());

	Root->Records.Empty();
	CollectGarbage();
	EXPECT_FALSE(Alive(WeakDeep));
	EXPECT_TRUE(Alive(WeakArray));
}

TEST_F(GarbageCollectionTest, CyclesWithoutRootsAreCollectedAndWeakPointersClear)
{
	UTestObject* A = NewObject<UTestObject>();
	UTestObject* B = NewObject<UTestObject>();
	A->Other = B;
	B->Other = A;
	const TWeakObjectPtr<UTestObject> WeakA(A);
	const int32 DestroyedBefore = UTestObject::DestroyedCount;
	const int32 LiveBefore = GetNumLiveObjects();
	CollectGarbage();
	EXPECT_EQ(WeakA.Get(), nullptr);
	EXPECT_FALSE(WeakA.IsValid());
	EXPECT_EQ(UTestObject::DestroyedCount, DestroyedBefore + 2);
	EXPECT_EQ(GetNumLiveObjects(), LiveBefore - 2);

	// A slot reused by a new object is not mistaken for the old one.
	UTestObject* Fresh = NewObject<UTestObject>();
	EXPECT_EQ(WeakA.Get(), nullptr);
	EXPECT_EQ(TWeakObjectPtr<UTestObject>(Fresh).Get(), Fresh);
}

TEST_F(GarbageCollectionTest, RootsStrongPointersFGCObjectsAndOuters)
{
	UTestObject* Rooted = NewObject<UTestObject>();
	Rooted->AddToRoot();
	UTestObject* Inner = NewObject<UTestObject>(Rooted);
	UTestObject* Child = NewObject<UTestObject>();
	UTestObject* ChildOfChild = NewObject<UTestObject>(Child);
	TStrongObjectPtr<UTestObject> Strong(ChildOfChild);
	FHolder Holder;
	Holder.Held = NewObject<UTestObject>();

	const FWeakObjectPtr WeakInner(Inner), WeakChild(Child), WeakHeld(Holder.Held);
	CollectGarbage();
	EXPECT_FALSE(Alive(WeakInner)); // an object does not keep its subobjects alive
	EXPECT_TRUE(Alive(WeakChild)); // but an object keeps its outer alive
	EXPECT_TRUE(Alive(WeakHeld));
	EXPECT_EQ(ChildOfChild->GetOuter(), Child);

	Strong.Reset();
	Holder.Held = nullptr;
	CollectGarbage();
	EXPECT_FALSE(Alive(WeakChild));
	EXPECT_FALSE(Alive(WeakHeld));
	EXPECT_NE(Rooted->GetClass(), nullptr);
	Rooted->RemoveFromRoot();
}

TEST_F(GarbageCollectionTest, GarbageIsDestroyedAndReferencesToItCleared)
{
	TStrongObjectPtr<UTestObject> Root(NewObject<UTestObject>());
	UTestObject* Doomed = NewObject<UTestObject>();
	Root->Other = Doomed;
	Root->Objects.Add(Doomed);
	Root->Weak = Doomed;
	Doomed->MarkAsGarbage();
	EXPECT_FALSE(IsValid(Doomed));
	EXPECT_EQ(Root->Weak.Get(), nullptr); // weak pointers already read null
	const FWeakObjectPtr WeakDoomed(Doomed);
	CollectGarbage();
	EXPECT_FALSE(WeakDoomed.IsValid());
	EXPECT_EQ(Root->Other, nullptr);
	ASSERT_EQ(Root->Objects.Num(), 1);
	EXPECT_EQ(Root->Objects[0], nullptr);
}

TEST_F(GarbageCollectionTest, ReflectionObjectsAndDefaultsSurvive)
{
	UClass* Class = UTestObject::StaticClass();
	const UObject* Default = Class->GetDefaultObject();
	const FWeakObjectPtr WeakClass(Class), WeakDefault(Default), WeakFunction(Class->FindFunctionByName(FName("Add")));
	CollectGarbage();
	EXPECT_TRUE(Alive(WeakClass));
	EXPECT_TRUE(Alive(WeakDefault));
	EXPECT_TRUE(Alive(WeakFunction));
	EXPECT_TRUE(Alive(FWeakObjectPtr(GetTransientPackage())));
}

TEST_F(GarbageCollectionTest, KeepFlagsProtectObjects)
{
	UTestObject* Standalone = NewObject<UTestObject>(nullptr, NAME_None, RF_Standalone);
	const FWeakObjectPtr Weak(Standalone);
	CollectGarbage(RF_Standalone);
	EXPECT_TRUE(Alive(Weak));
	CollectGarbage();
	EXPECT_FALSE(Alive(Weak));
}

TEST_F(GarbageCollectionTest, ACheckFailingWhileMarkingLeavesObjectsAndTheCollectorUsable)
{
	// Referencers report in the order they were made, so this one fails before the strong
	// pointer below has marked its object.
	FFailingReferencer Failing;
	TStrongObjectPtr<UTestObject> Kept(NewObject<UTestObject>());
	const FWeakObjectPtr WeakKept(Kept.Get());
	const FWeakObjectPtr WeakLost(NewObject<UTestObject>());

	EXPECT_THROW(CollectGarbage(), FCheckFailure);
	EXPECT_FALSE(IsGarbageCollecting());
	EXPECT_EQ(WeakKept.Get(), Kept.Get());
	EXPECT_FALSE(Kept->IsUnreachable());
	EXPECT_TRUE(WeakLost.IsValid()); // nothing is destroyed by a collection that failed

	Failing.bFail = false;
	CollectGarbage();
	EXPECT_EQ(WeakKept.Get(), Kept.Get());
	EXPECT_FALSE(Alive(WeakLost));
}
