#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Containers/Set.h"
#include "Containers/UnrealString.h"
#include "Misc/Optional.h"
#include "Templates/SharedPointer.h"

#include <gtest/gtest.h>

TEST(TArrayTest, OutOfRangeAccessIsACheckFailure)
{
	TArray<int32> Numbers{1, 2, 3};
	EXPECT_EQ(Numbers[2], 3);
	EXPECT_THROW(Numbers[3], FCheckFailure);
	EXPECT_THROW(Numbers[-1], FCheckFailure);
	EXPECT_THROW(Numbers.RemoveAt(2, 2), FCheckFailure);
	EXPECT_THROW(Numbers.Insert(9, 4), FCheckFailure);
	EXPECT_EQ(Numbers.Num(), 3); // a failed check changed nothing
	TArray<int32> Empty;
	EXPECT_THROW(Empty.Last(), FCheckFailure);
	EXPECT_THROW(Empty.Pop(), FCheckFailure);
}

TEST(TArrayTest, EngineMemberSemantics)
{
	TArray<FString> Names;
	EXPECT_EQ(Names.Add("a"), 0);
	EXPECT_EQ(Names.AddUnique("A"), 0); // FString equality ignores case
	EXPECT_EQ(Names.AddUnique("b"), 1);
	Names.Add("a");
	EXPECT_EQ(Names.Remove("A"), 2);
	EXPECT_EQ(Names, (TArray<FString>{"b"}));

	TArray<int32> Numbers{5, 3, 5, 1};
	EXPECT_EQ(Numbers.Find(5), 0);
	EXPECT_EQ(Numbers.FindLast(5), 2);
	EXPECT_EQ(Numbers.RemoveSingle(5), 1);
	EXPECT_EQ(Numbers, (TArray<int32>{3, 5, 1}));
	EXPECT_EQ(*Numbers.FindByPredicate([](int32 Value) { return Value > 4; }), 5);
	EXPECT_EQ(Numbers.FindByPredicate([](int32 Value) { return Value > 9; }), nullptr);
	Numbers.Sort();
	EXPECT_EQ(Numbers, (TArray<int32>{1, 3, 5}));
	Numbers.RemoveAtSwap(0);
	EXPECT_EQ(Numbers, (TArray<int32>{5, 3}));
	Numbers.SetNumZeroed(4);
	EXPECT_EQ(Numbers, (TArray<int32>{5, 3, 0, 0}));
	Numbers.Append(Numbers);
	EXPECT_EQ(Numbers.Num(), 8);
}

TEST(TArrayTest, BoolArraysHandOutRealReferences)
{
	TArray<bool> Flags;
	Flags.Init(false, 3);
	bool& Middle = Flags[1];
	Middle = true;
	EXPECT_TRUE(Flags[1]);
	EXPECT_EQ(Flags.GetData()[1], true);
	int32 Count = 0;
	for (bool& Flag : Flags)
	{
		Count += Flag ? 1 : 0;
	}
	EXPECT_EQ(Count, 1);
}

TEST(TMapTest, StringKeysIgnoreCaseAndAddReplacesInPlace)
{
	TMap<FString, float> Weights;
	Weights.Add("Height", 0.5f);
	Weights.Add("Weight", 0.1f);
	Weights.Add("HEIGHT", 0.75f);
	ASSERT_EQ(Weights.Num(), 2);
	EXPECT_FLOAT_EQ(Weights["height"], 0.75f);
	EXPECT_EQ(Weights.begin()->Key, "HEIGHT"); // replaced whole, kept its place
	EXPECT_FLOAT_EQ(Weights.FindRef("missing"), 0.0f);
	EXPECT_EQ(Weights.Find("missing"), nullptr);
	EXPECT_THROW(Weights["missing"], FCheckFailure);
	EXPECT_FLOAT_EQ(Weights.FindOrAdd("weight"), 0.1f);
	EXPECT_EQ(Weights.Num(), 2);
}

TEST(TMapTest, IteratesInInsertionOrderAndSurvivesManyRemovals)
{
	TMap<int32, int32> Map;
	for (int32 Key = 0; Key < 1000; ++Key)
	{
		Map.Add(Key * 7919 % 1000, Key);
	}
	int32 Expected = 0;
	for (const auto& Pair : Map)
	{
		EXPECT_EQ(Pair.Value, Expected++);
	}
	for (int32 Key = 0; Key < 1000; Key += 2)
	{
		EXPECT_EQ(Map.Remove(Key), 1);
	}
	EXPECT_EQ(Map.Remove(0), 0);
	EXPECT_EQ(Map.Num(), 500);
	for (int32 Key = 0; Key < 1000; ++Key)
	{
		EXPECT_EQ(Map.Contains(Key), Key % 2 == 1) << Key;
	}
	int32 Previous = -1;
	for (const auto& Pair : Map)
	{
		EXPECT_GT(Pair.Value, Previous); // survivors keep their relative order
		Previous = Pair.Value;
	}
	Map.Add(-1, 5000);
	EXPECT_EQ(Map.FindChecked(-1), 5000);
}

TEST(TMapTest, IteratorRemovalAndKeyQueries)
{
	TMap<FString, int32> Map{{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}};
	for (auto It = Map.CreateIterator(); It; ++It)
	{
		if (It.Value() % 2 == 0)
		{
			It.RemoveCurrent();
		}
	}
	TArray<FString> Keys;
	EXPECT_EQ(Map.GetKeys(Keys), 2);
	EXPECT_EQ(Keys, (TArray<FString>{"a", "c"}));
	EXPECT_EQ(*Map.FindKey(3), "c");
	int32 Removed = 0;
	EXPECT_TRUE(Map.RemoveAndCopyValue("A", Removed));
	EXPECT_EQ(Removed, 1);
	EXPECT_FALSE(Map.RemoveAndCopyValue("A", Removed));

	TMap<FString, int32> Copy = Map;
	Copy.Add("x", 1);
	EXPECT_FALSE(Copy.OrderIndependentCompareEqual(Map));
	Copy.Remove("X");
	EXPECT_TRUE(Copy.OrderIndependentCompareEqual(Map));
}

TEST(TSetTest, MembershipOrderAndAlgebra)
{
	TSet<FString> Set{"Body", "Head", "body"};
	EXPECT_EQ(Set.Num(), 2);
	EXPECT_TRUE(Set.Contains("HEAD"));
	EXPECT_EQ(Set.Array(), (TArray<FString>{"body", "Head"}));
	bool bAlreadyThere = false;
	Set.Add("Eyes", &bAlreadyThere);
	EXPECT_FALSE(bAlreadyThere);
	Set.Add("EYES", &bAlreadyThere);
	EXPECT_TRUE(bAlreadyThere);

	const TSet<FString> Other{"head", "Legs"};
	EXPECT_EQ(Set.Intersect(Other).Num(), 1);
	EXPECT_EQ(Set.Union(Other).Num(), 4);
	EXPECT_EQ(Set.Difference(Other).Array(), (TArray<FString>{"body", "EYES"}));
	EXPECT_FALSE(Set.Includes(Other));
	EXPECT_EQ(Set.Remove("BODY"), 1);
	EXPECT_EQ(Set.Find("body"), nullptr);
}

TEST(TOptionalTest, UnsetValueIsACheckFailure)
{
	TOptional<int32> Value;
	EXPECT_FALSE(Value.IsSet());
	EXPECT_EQ(Value.Get(7), 7);
	EXPECT_THROW(Value.GetValue(), FCheckFailure);
	Value = 3;
	EXPECT_EQ(*Value, 3);
}

TEST(TSharedPtrTest, NullReferencesAreRefused)
{
	TSharedPtr<int32> Empty;
	EXPECT_FALSE(Empty.IsValid());
	EXPECT_THROW(Empty.ToSharedRef(), FCheckFailure);
	EXPECT_THROW(*Empty, FCheckFailure);
	TSharedRef<int32> Shared = MakeShared<int32>(4);
	TSharedPtr<int32> Pointer = Shared;
	TWeakPtr<int32> Weak = Pointer;
	EXPECT_EQ(Pointer.GetSharedReferenceCount(), 2);
	Pointer.Reset();
	EXPECT_EQ(*Weak.Pin(), 4);
}

TEST(TArrayTest, GetRefAddsSurviveReallocation)
{
	TArray<FString> Items;
	for (int32 Index = 0; Index < 100; ++Index)
	{
		Items.AddDefaulted_GetRef() = FString::Printf(TEXT("d%d"), Index);
		Items.Emplace_GetRef(FString::Printf(TEXT("e%d"), Index)).AppendChar('!');
		Items.Add_GetRef(FString("a")).AppendInt(Index);
	}
	ASSERT_EQ(Items.Num(), 300);
	EXPECT_EQ(Items[297], "d99");
	EXPECT_EQ(Items[298], "e99!");
	EXPECT_EQ(Items[299], "a99");
}
