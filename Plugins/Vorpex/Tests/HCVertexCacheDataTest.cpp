// The vertex cache's BuildData: reading points files (sizes, axes, failures and their
// messages), which vertices it hides and what it leaves alone; then the sample character's
// caches and cull masks.

#include "AssetLoader.h"
#include "DataAssets/HCVertexCacheData.h"
#include "GltfImporter.h"
#include "HCDataAssetTestFiles.h"
#include "HCImageProcessorTestSupport.h"
#include "Misc/PackageName.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "UObject/StrongObjectPtr.h"

#include <algorithm>
#include <vector>

namespace
{
	class HCVertexCacheData : public HCDataAssetFileTest
	{
	protected:
		/** A mesh whose LOD 0 holds exactly Positions, kept on the CPU. */
		USkeletalMesh* MakeMesh(const TArray<FVector3f>& Positions)
		{
			USkeletalMesh* Mesh = NewObject<USkeletalMesh>(GetTransientPackage());
			Kept.Emplace(Mesh);
			Mesh->AllocateResourceForRendering();
			FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData.Emplace_GetRef();
			LOD.StaticVertexBuffers.PositionVertexBuffer.Init(Positions, true);
			return Mesh;
		}

		/** A cache for Mesh built from Path, with the messages it logged. */
		UHCAttachmentVertexCacheData* MakeCache(USkeletalMesh* Mesh, const FString& Path)
		{
			UHCAttachmentVertexCacheData* Cache = NewObject<UHCAttachmentVertexCacheData>(GetTransientPackage());
			Kept.Emplace(Cache);
			Cache->TargetSkeletalMesh = Mesh;
			Cache->BinFileDirectory = Path;
			return Cache;
		}

		/** Writes the raw bytes of Floats, then Extra more bytes, as FileName. */
		FString WritePoints(const char* FileName, const std::vector<float>& Floats, int32 Extra = 0) const
		{
			TArray<uint8> Bytes;
			Bytes.SetNum(static_cast<int32>(Floats.size() * sizeof(float)) + Extra);
			if (!Floats.empty())
			{
				std::memcpy(Bytes.GetData(), Floats.data(), Floats.size() * sizeof(float));
			}
			for (int32 Index = 0; Index < Extra; ++Index)
			{
				Bytes[static_cast<int32>(Floats.size() * sizeof(float)) + Index] = 0x42;
			}
			const FString Path = PathOf(FileName);
			EXPECT_TRUE(FFileHelper::SaveArrayToFile(Bytes, *Path));
			return Path;
		}

		TArray<TStrongObjectPtr<UObject>> Kept;
	};

	/** Vertices at (0, 0, 100) twice, just beside it, and at the places a wrong axis order would map (0, 1, 0) to. */
	const TArray<FVector3f> AroundTheFilePoint = {FVector3f(0, 0, 100), FVector3f(0, 0, 100), FVector3f(0, 0, 100.01f),
		FVector3f(0, 100, 0), FVector3f(0, -100, 0), FVector3f(100, 0, 0)};
	const TArray<float> HiddenAtTheFilePoint = {0, 0, 1, 1, 1, 1};
}

TEST_F(HCVertexCacheData, AFilePointHidesEveryVertexAtItsEnginePosition)
{
	UHCAttachmentVertexCacheData* Cache = MakeCache(MakeMesh(AroundTheFilePoint), WritePoints("up.bin", {0.0f, 1.0f, 0.0f}));
	FLogCapture Capture;
	Cache->BuildData();
	EXPECT_EQ(Cache->VertexOpacity, HiddenAtTheFilePoint);
	EXPECT_EQ(Capture.GetLines(), (TArray<FString>{"LogTemp: Culling data computed successfully"}));
}

TEST_F(HCVertexCacheData, FilePointsMapToEngineAxesInFileOrder)
{
	// (x, y, z) is the engine point (100 x, -100 z, 100 y).
	const TArray<FVector3f> Positions = {FVector3f(100, -300, 200), FVector3f(100, 200, 300), FVector3f(-50, 25, 75), FVector3f(-50, -75, 25),
		FVector3f(1, 1, 1)};
	UHCAttachmentVertexCacheData* Cache = MakeCache(MakeMesh(Positions), WritePoints("points.bin", {1, 2, 3, -0.5f, 0.75f, -0.25f}));
	Cache->BuildData();
	EXPECT_EQ(Cache->VertexOpacity, (TArray<float>{0, 1, 0, 1, 1}));
}

TEST_F(HCVertexCacheData, OnlyWholeTriplesOfWholeFloatsArePoints)
{
	struct FCase
	{
		const char* Name;
		std::vector<float> Floats;
		int32 ExtraBytes;
		TArray<float> Expected;
	};
	const std::vector<FCase> Cases = {
		{"14 bytes: three floats and two bytes more", {0, 1, 0}, 2, HiddenAtTheFilePoint},
		{"a fourth float starts a triple that never ends", {0, 1, 0, 0}, 0, HiddenAtTheFilePoint},
		{"five floats", {0, 1, 0, 0, 0}, 3, HiddenAtTheFilePoint},
		{"two floats are no point", {0, 1}, 0, {1, 1, 1, 1, 1, 1}},
		{"an empty file", {}, 0, {1, 1, 1, 1, 1, 1}},
		{"three bytes", {}, 3, {1, 1, 1, 1, 1, 1}},
	};
	for (const FCase& Case : Cases)
	{
		SCOPED_TRACE(Case.Name);
		UHCAttachmentVertexCacheData* Cache = MakeCache(MakeMesh(AroundTheFilePoint), WritePoints("case.bin", Case.Floats, Case.ExtraBytes));
		FLogCapture Capture;
		Cache->BuildData();
		EXPECT_EQ(Cache->VertexOpacity, Case.Expected);
		EXPECT_EQ(Capture.GetLines(), (TArray<FString>{"LogTemp: Culling data computed successfully"}));
	}
}

TEST_F(HCVertexCacheData, AnUnreadableFileIsReportedAndChangesNothing)
{
	const FString Missing = PathOf("missing.bin");
	const FString Folder = PathOf("");
	// The file exists, but reading it fails.
	const FString Unreadable = TEXT("/proc/self/mem");
	struct FCase
	{
		FString Path;
		FString Failure;
	};
	for (const FCase& Case : {FCase{Missing, "File does not exist: " + Missing}, FCase{FString(), "File does not exist: "},
			 FCase{Folder, "File does not exist: " + Folder}, FCase{Unreadable, "Failed to load file: " + Unreadable}})
	{
		SCOPED_TRACE(*Case.Path);
		UHCAttachmentVertexCacheData* Cache = MakeCache(MakeMesh(AroundTheFilePoint), Case.Path);
		Cache->VertexOpacity = {0.5f, 0.25f};
		FLogCapture Capture;
		Cache->BuildData();
		EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Error), (TArray<FString>{Case.Failure, "There are no culls on this file"}));
		EXPECT_EQ(Capture.GetLines().Num(), 2);
		EXPECT_EQ(Cache->VertexOpacity, (TArray<float>{0.5f, 0.25f}));
	}
}

TEST_F(HCVertexCacheData, ABuildReplacesTheOpacitiesOfAnEarlierOne)
{
	UHCAttachmentVertexCacheData* Cache = MakeCache(MakeMesh(AroundTheFilePoint), WritePoints("up.bin", {0.0f, 1.0f, 0.0f}));
	Cache->VertexOpacity = {0, 0, 0, 0, 0, 0, 0, 0, 0.5f};
	Cache->BuildData();
	EXPECT_EQ(Cache->VertexOpacity, HiddenAtTheFilePoint);

	Cache->BinFileDirectory = WritePoints("side.bin", {0.0f, 0.0f, 1.0f});
	Cache->BuildData();
	EXPECT_EQ(Cache->VertexOpacity, (TArray<float>{1, 1, 1, 1, 0, 1}));
}

TEST_F(HCVertexCacheData, AMissingMeshIsABrokenContractThatChangesNothing)
{
	const FString Points = WritePoints("up.bin", {0.0f, 1.0f, 0.0f});
	UHCAttachmentVertexCacheData* NoMesh = MakeCache(nullptr, Points);
	NoMesh->VertexOpacity = {0.5f};
	EXPECT_CHECK_FAILS(NoMesh->BuildData(), "Mesh");
	EXPECT_EQ(NoMesh->VertexOpacity, (TArray<float>{0.5f}));

	UHCAttachmentVertexCacheData* NoRenderData = MakeCache(NewObject<USkeletalMesh>(GetTransientPackage()), Points);
	Kept.Emplace(NoRenderData->TargetSkeletalMesh.Get());
	EXPECT_CHECK_FAILS(NoRenderData->BuildData(), "RenderData && RenderData->LODRenderData.Num() > 0");
	EXPECT_TRUE(NoRenderData->VertexOpacity.IsEmpty());
}

namespace
{
	/** The bundled sample's body mesh, its garments' points files and cull masks. */
	class HCVertexCacheDataSample : public HCVertexCacheData
	{
	protected:
		static void SetUpTestSuite()
		{
			FAssetLoader::Install();
			FPackageName::RegisterMountPoint(TEXT("/Game/"), ContentDir());
			FString Error;
			Body = FGltfImporter::ImportSkeletalMesh(ContentDir() + TEXT("Characters/Human/SK_Body.glb"), nullptr, NAME_None, Error);
			ASSERT_NE(Body, nullptr) << *Error;
			Body->AddToRoot();
		}

		static void TearDownTestSuite()
		{
			Body->RemoveFromRoot();
			Body = nullptr;
			FPackageName::UnRegisterMountPoint(TEXT("/Game/"), ContentDir());
		}

		static FString ContentDir() { return FString(VORPEX_SAMPLE_PROJECT) + TEXT("/Content/"); }

		/** The indices of the body vertices the garment's points file hides. */
		std::vector<int32> HiddenBy(const TCHAR* PointsFile)
		{
			UHCAttachmentVertexCacheData* Cache = MakeCache(Body, ContentDir() + PointsFile);
			FLogCapture Capture;
			Cache->BuildData();
			EXPECT_EQ(Capture.GetLines(), (TArray<FString>{"LogTemp: Culling data computed successfully"}));
			EXPECT_EQ(Cache->VertexOpacity.Num(), static_cast<int32>(Body->GetResourceForRendering()->LODRenderData[0].GetNumVertices()));
			std::vector<int32> Hidden;
			for (int32 Vertex = 0; Vertex < Cache->VertexOpacity.Num(); ++Vertex)
			{
				EXPECT_TRUE(Cache->VertexOpacity[Vertex] == 0.0f || Cache->VertexOpacity[Vertex] == 1.0f);
				if (Cache->VertexOpacity[Vertex] == 0.0f)
				{
					Hidden.push_back(Vertex);
				}
			}
			return Hidden;
		}

		static FVector3f Position(int32 Vertex)
		{
			return Body->GetResourceForRendering()->LODRenderData[0].StaticVertexBuffers.PositionVertexBuffer.VertexPosition(Vertex);
		}

		/** The height of a bone's head in the reference pose. */
		static double BoneHeight(const TCHAR* BoneName)
		{
			const FReferenceSkeleton& Skeleton = Body->GetRefSkeleton();
			int32 Bone = Skeleton.FindBoneIndex(FName(BoneName));
			EXPECT_NE(Bone, INDEX_NONE) << BoneName;
			FVector Location = FVector::ZeroVector;
			for (; Bone != INDEX_NONE; Bone = Skeleton.GetParentIndex(Bone))
			{
				Location = Skeleton.GetRefBonePose()[Bone].TransformPosition(Location);
			}
			return Location.Z;
		}

		static USkeletalMesh* Body;
	};

	USkeletalMesh* HCVertexCacheDataSample::Body = nullptr;
}

TEST_F(HCVertexCacheDataSample, TheTightsHideTheBodyBelowTheWaistOnly)
{
	const std::vector<int32> Hidden = HiddenBy(TEXT("Culling/PT_Tights.bin"));
	const double Waist = BoneHeight(TEXT("spine03"));
	const double Knee = BoneHeight(TEXT("lowerleg01.L"));
	int32 BelowKnee = 0;
	int32 HiddenBelowKnee = 0;
	for (int32 Vertex = 0; Vertex < static_cast<int32>(Body->GetResourceForRendering()->LODRenderData[0].GetNumVertices()); ++Vertex)
	{
		if (Position(Vertex).Z < Knee)
		{
			++BelowKnee;
			HiddenBelowKnee += std::binary_search(Hidden.begin(), Hidden.end(), Vertex);
		}
	}
	// The tights end with the faces whose centres lie below the waist, so the skin they
	// cover reaches a little above it, but not a centimetre.
	ASSERT_FALSE(Hidden.empty());
	for (const int32 Vertex : Hidden)
	{
		EXPECT_LT(Position(Vertex).Z, Waist + 1.0) << "vertex " << Vertex;
	}
	EXPECT_GT(HiddenBelowKnee, BelowKnee / 2) << "most of the lower legs are under the tights";
}

TEST_F(HCVertexCacheDataSample, TheSkirtHidesPartOfWhatTheTightsHide)
{
	const std::vector<int32> Tights = HiddenBy(TEXT("Culling/PT_Tights.bin"));
	const std::vector<int32> Skirt = HiddenBy(TEXT("Culling/PT_Skirt.bin"));
	ASSERT_FALSE(Skirt.empty());
	EXPECT_LT(Skirt.size(), Tights.size());
	EXPECT_TRUE(std::includes(Tights.begin(), Tights.end(), Skirt.begin(), Skirt.end()));
}

TEST_F(HCVertexCacheDataSample, CullMaskNamesMatchWithoutLetterCase)
{
	const UHCAttachmentCullMaskData* Masks = Cast<UHCAttachmentCullMaskData>(
		FAssetLoader::LoadAsset(UHCAttachmentCullMaskData::StaticClass(), TEXT("/Game/Culling/DA_CullMasks_Tights.DA_CullMasks_Tights")));
	ASSERT_NE(Masks, nullptr);
	const TObjectPtr<UTexture2D>* Mask = Masks->NameToCullMap.Find(TEXT("m_body"));
	ASSERT_NE(Mask, nullptr);
	ASSERT_NE(Mask->Get(), nullptr);
	EXPECT_EQ(Mask->Get()->GetPathName(), "/Game/Culling/T_Body_UnderTights_Mask.T_Body_UnderTights_Mask");
	EXPECT_EQ(Masks->NameToCullMap.Find(TEXT("M_Head")), nullptr);
}
