#include "UObject/NameTypes.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(FNameTest, ComparesWithoutCaseAndKeepsTheFirstSpelling)
{
	const FName First("NameTestSpelling");
	const FName Second("NAMETESTSPELLING");
	EXPECT_EQ(First, Second);
	EXPECT_EQ(GetTypeHash(First), GetTypeHash(Second));
	EXPECT_EQ(Second.ToString(), "NameTestSpelling");
	EXPECT_NE(FName("NameTestOther"), First);
}

TEST(FNameTest, NoneAndEmpty)
{
	EXPECT_TRUE(FName().IsNone());
	EXPECT_TRUE(FName("").IsNone());
	EXPECT_TRUE(FName("none").IsNone());
	EXPECT_EQ(FName(NAME_None), FName());
	EXPECT_TRUE(FName() == NAME_None);
	EXPECT_EQ(FName().ToString(), "None");
}

TEST(FNameTest, NumberSuffixes)
{
	const FName Numbered("Slider_2");
	EXPECT_EQ(Numbered.GetNumber(), 3);
	EXPECT_EQ(Numbered.GetPlainNameString(), "Slider");
	EXPECT_EQ(Numbered.ToString(), "Slider_2");
	EXPECT_NE(Numbered, FName("Slider"));
	EXPECT_EQ(Numbered, FName("Slider", 3));
	EXPECT_EQ(FName("Slider_0").GetNumber(), 1);

	// Leading zeros, a bare underscore and a lone number are part of the plain name.
	EXPECT_EQ(FName("Slider_02").GetPlainNameString(), "Slider_02");
	EXPECT_EQ(FName("Slider_").GetPlainNameString(), "Slider_");
	EXPECT_EQ(FName("_5").GetPlainNameString(), "_5");
	EXPECT_EQ(FName("42").GetPlainNameString(), "42");
	EXPECT_EQ(FName("Slider_99999999999").GetPlainNameString(), "Slider_99999999999");
}

TEST(FNameTest, OrderingIsAlphabeticalIgnoringCase)
{
	EXPECT_TRUE(FName("alpha").LexicalLess(FName("Beta")));
	EXPECT_FALSE(FName("Beta").LexicalLess(FName("alpha")));
	EXPECT_TRUE(FName("Item_1").LexicalLess(FName("Item_2")));
}

TEST(FNameTest, ConcurrentCreationGivesOneEntryPerName)
{
	std::vector<std::thread> Threads;
	std::vector<FName> Names(8);
	for (int32 Index = 0; Index < 8; ++Index)
	{
		Threads.emplace_back([&Names, Index] {
			for (int32 Round = 0; Round < 200; ++Round)
			{
				Names[Index] = FName(*FString::Printf("ConcurrentName%d", Round));
			}
		});
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	for (const FName& Name : Names)
	{
		EXPECT_EQ(Name.GetComparisonIndex(), FName("CONCURRENTNAME199").GetComparisonIndex());
	}
}
