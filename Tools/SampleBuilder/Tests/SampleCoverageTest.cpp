#include "SampleCoverage.h"
#include "SampleTestFolder.h"

#include <cstring>
#include <limits>
#include <sstream>

namespace
{
	constexpr int32 GridSize = 11;

	/**
	 * A flat skin: an 11 x 11 grid 1 cm apart in the source's z = 0 plane (facing the engine's
	 * +X), vertex (i, j) at index j * 11 + i. Each garment is one quad over x in [X0, X1] and y in
	 * [0.25, 0.75] decimetres at source depth Z (engine X = 10 Z).
	 */
	std::string PlaneWithGarments()
	{
		std::ostringstream Obj;
		for (int32 J = 0; J < GridSize; ++J)
		{
			for (int32 I = 0; I < GridSize; ++I)
			{
				Obj << "v " << I * 0.1 << ' ' << J * 0.1 << " 0\n";
			}
		}
		struct FGarment
		{
			const char* Name;
			double X0, X1, Z;
		};
		const FGarment Garments[] = {{"front", 0.25, 0.55, 0.05}, {"tight", 0.65, 0.95, -0.02}, {"deep", 0.65, 0.95, -0.05}, {"far", 0.25, 0.55, 0.15}};
		for (const FGarment& Garment : Garments)
		{
			Obj << "v " << Garment.X0 << " 0.25 " << Garment.Z << "\nv " << Garment.X1 << " 0.25 " << Garment.Z << "\nv " << Garment.X1 << " 0.75 "
				<< Garment.Z << "\nv " << Garment.X0 << " 0.75 " << Garment.Z << '\n';
		}
		Obj << "vt 0 0\ng body\n";
		for (int32 J = 0; J + 1 < GridSize; ++J)
		{
			for (int32 I = 0; I + 1 < GridSize; ++I)
			{
				const int32 Corner = J * GridSize + I + 1;
				Obj << "f " << Corner << "/1 " << Corner + 1 << "/1 " << Corner + GridSize + 1 << "/1 " << Corner + GridSize << "/1\n";
			}
		}
		int32 First = GridSize * GridSize + 1;
		for (const FGarment& Garment : Garments)
		{
			Obj << "g " << Garment.Name << "\nf " << First << "/1 " << First + 1 << "/1 " << First + 2 << "/1 " << First + 3 << "/1\n";
			First += 4;
		}
		return Obj.str();
	}

	/** The grid vertices with i in [I0, I1] and j in [3, 7] (y from 0.3 to 0.7). */
	TArray<int32> GridBlock(int32 I0, int32 I1)
	{
		TArray<int32> Result;
		for (int32 J = 3; J <= 7; ++J)
		{
			for (int32 I = I0; I <= I1; ++I)
			{
				Result.Add(J * GridSize + I);
			}
		}
		Result.Sort();
		return Result;
	}

	class SampleCoverageTest : public SampleTestFolder
	{
	protected:
		TArray<int32> Covered(const TCHAR* Garment, float MaxDistance) const
		{
			return FSampleCoverage::FindCoveredVertices(Source, Source.FindGroup(TEXT("body")), Source.FindGroup(Garment), MaxDistance);
		}

		FSampleSourceMesh Source;
	};
}

TEST_F(SampleCoverageTest, CoversTheSkinUnderAGarmentWithinReach)
{
	FString Error;
	ASSERT_TRUE(Source.Load(Write("plane.obj", PlaneWithGarments()), Error)) << *Error;
	// 0.5 cm out over x 0.25..0.55: columns 3..5. Column 2 lies 0.7 cm from the garment's edge
	// but nothing is above it, so it stays uncovered.
	EXPECT_EQ(Covered(TEXT("front"), 1.0f), GridBlock(3, 5));
	EXPECT_TRUE(Covered(TEXT("front"), 0.4f).IsEmpty());
	// 0.2 cm under the skin is within the quarter of the reach allowed inside; 0.5 cm is not.
	EXPECT_EQ(Covered(TEXT("tight"), 1.0f), GridBlock(7, 9));
	EXPECT_TRUE(Covered(TEXT("deep"), 1.0f).IsEmpty());
	EXPECT_EQ(Covered(TEXT("deep"), 2.5f), GridBlock(7, 9));
	EXPECT_TRUE(Covered(TEXT("far"), 1.0f).IsEmpty());
	EXPECT_EQ(Covered(TEXT("far"), 2.0f), GridBlock(3, 5));

	EXPECT_THROW(Covered(TEXT("front"), -1.0f), FCheckFailure);
	EXPECT_THROW(Covered(TEXT("nothing"), 1.0f), FCheckFailure);
}

TEST_F(SampleCoverageTest, PointsFileHoldsLittleEndianFloatsInFileAxes)
{
	FString Error;
	const FString File = Path("points.bin");
	ASSERT_TRUE(FSampleCoverage::WritePointsFile({FVector3f(100, 200, 300), FVector3f(-50, 0, 25)}, File, Error)) << *Error;
	std::ifstream Stream(std::string(*File), std::ios::binary);
	const std::string Bytes((std::istreambuf_iterator<char>(Stream)), std::istreambuf_iterator<char>());
	// (1, 3, -2) and (-0.5, 0.25, -0) as IEEE 754 single precision, least significant byte first.
	const unsigned char Expected[] = {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x00, 0xC0,
		0x00, 0x00, 0x00, 0xBF, 0x00, 0x00, 0x80, 0x3E, 0x00, 0x00, 0x00, 0x80};
	ASSERT_EQ(Bytes.size(), sizeof(Expected));
	EXPECT_EQ(std::memcmp(Bytes.data(), Expected, sizeof(Expected)), 0);

	ASSERT_TRUE(FSampleCoverage::WritePointsFile({}, File, Error));
	EXPECT_EQ(std::filesystem::file_size(std::string(*File)), 0u);

	EXPECT_FALSE(FSampleCoverage::WritePointsFile({FVector3f(0, 0, 0), FVector3f(0, std::numeric_limits<float>::quiet_NaN(), 0)}, Path("nan.bin"), Error));
	EXPECT_EQ(Error, Path("nan.bin") + TEXT(": point 1 is not finite"));
	EXPECT_FALSE(std::filesystem::exists(std::string(*Path("nan.bin"))));
	// A plain file where the folder should be.
	Write("blocker", "");
	EXPECT_FALSE(FSampleCoverage::WritePointsFile({FVector3f(0, 0, 0)}, Path("blocker/points.bin"), Error));
	EXPECT_EQ(Error, TEXT("cannot write ") + Path("blocker/points.bin"));
}
