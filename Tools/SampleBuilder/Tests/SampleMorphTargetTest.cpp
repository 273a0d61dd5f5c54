#include "SampleMorphTarget.h"
#include "SampleTestFolder.h"

#include <utility>

using SampleMorphTargetTest = SampleTestFolder;

TEST_F(SampleMorphTargetTest, ReadsSparseEngineSpaceDeltas)
{
	const FString File = Write("head-oval.target", "# a comment line\n\n5 1 2 3   # trailing comment\r\n  0 -.5 0 0\n\t\n2 0 0 1e-1\n# the end");
	FSampleMorphTarget Morph;
	FString Error;
	ASSERT_TRUE(Morph.Load(File, Error, 6)) << *Error;
	EXPECT_EQ(Morph.GetName(), FString(TEXT("head-oval")));
	ASSERT_EQ(Morph.GetVertices().Num(), 3);
	EXPECT_EQ(Morph.GetVertices()[0], 0);
	EXPECT_EQ(Morph.GetVertices()[1], 2);
	EXPECT_EQ(Morph.GetVertices()[2], 5);
	// Source (x, y, z) decimetres, Y up, become engine (10 z, -10 x, 10 y) centimetres.
	EXPECT_TRUE(Morph.GetDeltas()[0].Equals(FVector3f(0, 5, 0)));
	EXPECT_TRUE(Morph.GetDeltas()[1].Equals(FVector3f(1, 0, 0)));
	EXPECT_TRUE(Morph.GetDeltas()[2].Equals(FVector3f(30, -10, 20)));

	TArray<FVector3f> Positions;
	Positions.Init(FVector3f(1, 1, 1), 6);
	Morph.Apply(Positions, 0.5f);
	EXPECT_TRUE(Positions[0].Equals(FVector3f(1, 3.5f, 1)));
	EXPECT_TRUE(Positions[1].Equals(FVector3f(1, 1, 1)));
	EXPECT_TRUE(Positions[5].Equals(FVector3f(16, -4, 11)));
	Positions.SetNum(5);
	EXPECT_THROW(Morph.Apply(Positions, 1.0f), FCheckFailure);
}

TEST_F(SampleMorphTargetTest, RefusesMalformedLinesWithFileAndLine)
{
	const std::pair<std::string, std::string> Cases[] = {
		{"0 1 2\n", ":1: a line must be a vertex index and three numbers"},
		{"# x\n0 1 2 3 4\n", ":2: a line must be a vertex index and three numbers"},
		{"0 1 2 3\n1 a 2 3\n", ":2: a line must be a vertex index and three numbers"},
		{"1.5 1 2 3\n", ":1: a line must be a vertex index and three numbers"},
		{"0 nan 0 0\n", ":1: the offset is not finite"},
		{"-1 0 0 0\n", ":1: vertex -1 is not a vertex of the 10-vertex base mesh"},
		{"\n\n10 0 0 0\n", ":3: vertex 10 is not a vertex of the 10-vertex base mesh"},
		{"3 0 0 0\n4 0 0 0\n3 1 1 1\n", ":3: vertex 3 was given on line 1 already"},
	};
	for (const auto& [Text, Expected] : Cases)
	{
		FSampleMorphTarget Morph;
		FString Error;
		EXPECT_FALSE(Morph.Load(Write("bad.target", Text), Error, 10)) << Text;
		EXPECT_EQ(Error, Path("bad.target") + FString(Expected));
		EXPECT_TRUE(Morph.GetVertices().IsEmpty() && Morph.GetName().IsEmpty());
	}

	FSampleMorphTarget Morph;
	FString Error;
	ASSERT_TRUE(Morph.Load(Write("kept.target", "1 0 0 1\n"), Error));
	EXPECT_FALSE(Morph.Load(Write("bad.target", "x\n"), Error));
	EXPECT_EQ(Morph.GetName(), FString(TEXT("kept"))) << "a failed load leaves the previous shape";
	EXPECT_EQ(Morph.GetVertices().Num(), 1);
	EXPECT_FALSE(Morph.Load(Path("absent.target"), Error));
	EXPECT_EQ(Error, TEXT("cannot read ") + Path("absent.target"));
}
