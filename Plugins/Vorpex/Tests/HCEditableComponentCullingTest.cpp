// Attachment culling on the editable component: cull masks swapped into the bound materials,
// vertex opacities written into the culling texture (grey levels, texels of no vertex, the
// refused cases), and the texel buffer kept until the render thread has uploaded it.

#include "DataAssets/HCDataAssets.h"
#include "DataAssets/HCVertexCacheData.h"
#include "HCEditableComponentTestSupport.h"
#include "UObject/StrongObjectPtr.h"

#include <chrono>
#include <limits>
#include <ostream>
#include <thread>
#include <vector>

using HCEditableComponentTest::AddRenderSections;
using HCEditableComponentTest::DefaultCullMask;
using HCEditableComponentTest::MakeMesh;
using HCEditableComponentTest::MaterialInstances;
using HCEditableComponentTest::PrivateProperty;
using HCEditableComponentTest::ReadGpuTexels;
using HCEditableComponentTest::TextureParameter;
using HCEditableComponentTest::UserDataTexture;

void PrintTo(const FColor& Color, std::ostream* Stream)
{
	*Stream << "(" << int(Color.R) << ", " << int(Color.G) << ", " << int(Color.B) << ", " << int(Color.A) << ")";
}

namespace
{
	const FColor White(255, 255, 255, 255);

	FColor Grey(uint8 Level)
	{
		return FColor(Level, Level, Level, 255);
	}

	/** The texels of a PF_B8G8R8A8 image. */
	std::vector<FColor> ToColors(const uint8* Bytes, size_t Count)
	{
		std::vector<FColor> Colors;
		for (size_t Texel = 0; Texel + 3 < Count; Texel += 4)
		{
			Colors.push_back(FColor(Bytes[Texel + 2], Bytes[Texel + 1], Bytes[Texel], Bytes[Texel + 3]));
		}
		return Colors;
	}

	std::vector<FColor> ToColors(const std::vector<uint8>& Bytes)
	{
		return ToColors(Bytes.data(), Bytes.size());
	}

	std::vector<FColor> ReadCullTexels(const UHCEditableSkeletalMeshComponent* Component)
	{
		return ToColors(ReadGpuTexels(UserDataTexture(Component)));
	}

	UHCAttachmentVertexCacheData* StoredCache(const UHCEditableSkeletalMeshComponent* Component)
	{
		return PrivateProperty<TObjectPtr<UHCAttachmentVertexCacheData>>(Component, TEXT("AttachmentVertexCacheData"));
	}

	/** Calls a script-callable operation of one object argument by name, as scripts and the studio do. */
	void CallByName(UObject* Object, const TCHAR* FunctionName, UObject* Argument)
	{
		UFunction* Function = Object->FindFunctionChecked(FName(FunctionName));
		TArray<uint8> Parms;
		Parms.SetNumZeroed(Function->ParmsSize());
		Function->InitializeParms(Parms.GetData());
		*Function->GetParameters()[0]->ContainerPtrToValuePtr<UObject*>(Parms.GetData()) = Argument;
		Object->ProcessEvent(Function, Parms.GetData());
		Function->DestroyParms(Parms.GetData());
	}

	/** Releases a render thread hold from another thread after a while, noting when it did. */
	class FDelayedRelease
	{
	public:
		explicit FDelayedRelease(FRenderThreadHold& Hold)
			: Thread([this, &Hold] {
				std::this_thread::sleep_for(std::chrono::milliseconds(100));
				bReleased = true;
				Hold.Release();
			})
		{
		}
		~FDelayedRelease() { Thread.join(); }

		/** Whether the hold has been released by now. */
		bool HasReleased() const { return bReleased; }

	private:
		std::atomic<bool> bReleased = false;
		std::thread Thread;
	};
}

class HCEditableComponentCullingTest : public HCEditableComponentWorldTest
{
protected:
	void SetUp() override
	{
		HCEditableComponentWorldTest::SetUp();
		Config = LoadJsonAsset<UHCCharacterEditorConfigData>(TEXT("Data/Config.json"), TEXT(R"({"segmentations": []})"));
		EmptySkin = LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/EmptySkin.json"), TEXT(R"({"components": []})"));
	}

	/** A component of Mesh that is editing, with its first uploads done. */
	UHCRecordingEditableComponent* BeginEditing(USkeletalMesh* Mesh, UHCCharacterEditorSkinCompositionData* Skin = nullptr)
	{
		UHCRecordingEditableComponent* Component = Spawn(Mesh, Config, Skin ? Skin : EmptySkin);
		Component->BeginEditing();
		FlushRenderingCommands();
		return Component;
	}

	/** A mesh of VertexCount vertices in one render section. */
	static USkeletalMesh* MakeCullableMesh(uint32 VertexCount, bool bCPUAccess = true)
	{
		USkeletalMesh* Mesh = MakeMesh(static_cast<int32>(VertexCount), {}, {});
		AddRenderSections(Mesh, {{0, VertexCount}}, bCPUAccess);
		return Mesh;
	}

	UHCAttachmentVertexCacheData* MakeCache(const TArray<float>& Opacities)
	{
		UHCAttachmentVertexCacheData* Cache = NewObject<UHCAttachmentVertexCacheData>();
		Cache->VertexOpacity = Opacities;
		Kept.Add(TStrongObjectPtr<UObject>(Cache));
		return Cache;
	}

	UHCAttachmentCullMaskData* MakeMasks(std::initializer_list<std::pair<const TCHAR*, UTexture2D*>> Masks)
	{
		UHCAttachmentCullMaskData* Data = NewObject<UHCAttachmentCullMaskData>();
		for (const auto& [Name, Mask] : Masks)
		{
			Data->NameToCullMap.Add(Name, Mask);
		}
		Kept.Add(TStrongObjectPtr<UObject>(Data));
		return Data;
	}

	UTexture2D* MakeMask()
	{
		UTexture2D* Mask = UTexture2D::CreateTransient(4, 4);
		Kept.Add(TStrongObjectPtr<UObject>(Mask));
		return Mask;
	}

	UHCCharacterEditorConfigData* Config = nullptr;
	UHCCharacterEditorSkinCompositionData* EmptySkin = nullptr;
};

TEST_F(HCEditableComponentCullingTest, CullMasksResetToTheWhiteMaskThenShowTheNamedOnesWithoutLetterCase)
{
	WriteUniformPng(TEXT("Textures/T_White.png"), White);
	const TCHAR* Stack = TEXT(R"("processorStacks": [{"materialKey": "_BaseColorMap", "processors": [
		{"type": "ImageTexture", "stringParams": ["../Textures/T_White.png"]}]}])");
	UHCCharacterEditorSkinCompositionData* Skin = LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/Skin.json"),
		FString::Printf(TEXT(R"({"components": [{"meshes": ["Body"], %s}, {"meshes": ["Head"], %s}, {"meshes": ["Face"], %s}]})"), Stack, Stack,
			Stack));
	// The face has no material to make an instance of; the cloth is not edited, so nothing is bound to it.
	USkeletalMesh* Mesh = MakeMesh(4, {{TEXT("M_Body")}, {TEXT("M_Head")}, {TEXT("M_Face"), false}, {TEXT("M_Cloth")}}, {});
	UMaterialInterface* Cloth = Mesh->GetMaterials()[3].MaterialInterface;
	UHCRecordingEditableComponent* Component = BeginEditing(Mesh, Skin);
	UMaterialInstanceDynamic* Body = MaterialInstances(Component).FindRef(TEXT("M_Body"));
	UMaterialInstanceDynamic* Head = MaterialInstances(Component).FindRef(TEXT("M_Head"));
	ASSERT_TRUE(Body && Head);
	UTexture2D* WhiteMask = DefaultCullMask(Component);
	const auto ExpectMasks = [&](UTexture* BodyMask, UTexture* HeadMask)
	{
		EXPECT_EQ(TextureParameter(Body, TEXT("CM_Texture")), BodyMask);
		EXPECT_EQ(TextureParameter(Head, TEXT("CM_Texture")), HeadMask);
		EXPECT_EQ(Component->GetMaterial(3), Cloth);
	};

	// Names match whatever their letter case; those of no bound instance, empty or missing, are ignored.
	UTexture2D* UnderTights = MakeMask();
	CallByName(Component, TEXT("ApplyCullMasks"),
		MakeMasks({{TEXT("m_body"), UnderTights}, {TEXT("M_Face"), MakeMask()}, {TEXT("M_Cloth"), MakeMask()}, {TEXT("M_Hat"), MakeMask()}}));
	ExpectMasks(UnderTights, WhiteMask);

	// Each call starts again from the white mask.
	UTexture2D* UnderHood = MakeMask();
	Component->ApplyCullMasks(MakeMasks({{TEXT("M_HEAD"), UnderHood}}));
	ExpectMasks(WhiteMask, UnderHood);

	// A mask of null culls nothing either.
	Component->ApplyCullMasks(MakeMasks({{TEXT("M_Body"), nullptr}}));
	ExpectMasks(nullptr, WhiteMask);

	Component->ApplyCullMasks(MakeMasks({{TEXT("M_Body"), UnderTights}, {TEXT("M_Head"), UnderHood}}));
	ExpectMasks(UnderTights, UnderHood);
	CallByName(Component, TEXT("ApplyCullMasks"), nullptr);
	ExpectMasks(WhiteMask, WhiteMask);
	EXPECT_EQ(MaterialInstances(Component).FindRef(TEXT("M_Face")), nullptr);
}

TEST_F(HCEditableComponentCullingTest, CullDataWritesEachVertexOpacityAsAGreyLevelAndLeavesOtherTexelsVisible)
{
	// Seven vertices in a 3 x 3 texture, all hidden at first.
	UHCRecordingEditableComponent* Component = BeginEditing(MakeCullableMesh(7));
	Component->ApplyCullData(MakeCache({0, 0, 0, 0, 0, 0, 0}));
	EXPECT_EQ(ReadCullTexels(Component), (std::vector<FColor>{Grey(0), Grey(0), Grey(0), Grey(0), Grey(0), Grey(0), Grey(0), White, White}));

	// Now vertex 3 is in no section: its texel shows again, whatever its opacity.
	USkeletalMesh* Gapped = MakeMesh(7, {}, {});
	AddRenderSections(Gapped, {{0, 3}, {4, 3}});
	Component->SetSkeletalMeshAsset(Gapped);
	const float NaN = std::numeric_limits<float>::quiet_NaN();
	// 0.5 x 255 = 127.5 and 0.999 x 255 = 254.7 are truncated; opacities outside [0, 1] are limited to it.
	UHCAttachmentVertexCacheData* Cache = MakeCache({0.5f, 0.0f, 1.0f, 0.0f, 0.999f, 1.5f, -0.25f, 0.0f});
	CallByName(Component, TEXT("ApplyCullData"), Cache);
	EXPECT_EQ(StoredCache(Component), Cache);
	EXPECT_EQ(ReadCullTexels(Component), (std::vector<FColor>{Grey(127), Grey(0), White, White, Grey(254), White, Grey(0), White, White}));

	Cache->VertexOpacity = {0.0f, 0.25f, NaN, 0.0f, 1.0f / 255.0f, 0.0f, 0.0f};
	Component->ApplyCullData(Cache);
	EXPECT_EQ(ReadCullTexels(Component), (std::vector<FColor>{Grey(0), Grey(63), White, White, Grey(1), Grey(0), Grey(0), White, White}));

	// Without a cache every vertex shows again.
	Component->ApplyCullData(nullptr);
	EXPECT_EQ(StoredCache(Component), nullptr);
	EXPECT_EQ(ReadCullTexels(Component), std::vector<FColor>(9, White));
}

TEST_F(HCEditableComponentCullingTest, RefusedCullDataChangesNeitherTheTexelsNorTheStoredCache)
{
	USkeletalMesh* Mesh = MakeCullableMesh(4);
	UHCAttachmentVertexCacheData* Hidden = MakeCache({0, 0, 0, 0});
	UHCRecordingEditableComponent* Initial = Spawn(Mesh, Config, EmptySkin);
	EXPECT_CHECK_FAILS(Initial->ApplyCullData(Hidden), "UserDataTexture_0");
	EXPECT_EQ(StoredCache(Initial), nullptr);

	UHCRecordingEditableComponent* Component = BeginEditing(Mesh);
	Component->ApplyCullData(Hidden);
	const std::vector<FColor> Before = ReadCullTexels(Component);
	EXPECT_EQ(Before, (std::vector<FColor>{Grey(0), Grey(0), Grey(0), Grey(0)}));

	USkeletalMesh* SectionPastTheEnd = MakeMesh(4, {}, {});
	AddRenderSections(SectionPastTheEnd, {{0, 2}, {2, 3}});
	struct FCase
	{
		const char* Name;
		USkeletalMesh* Mesh;
		UHCAttachmentVertexCacheData* Cache;
		const char* Check;
	};
	const FCase Cases[] = {
		{"no mesh", nullptr, Hidden, "Mesh"},
		{"a mesh without render data", NewObject<USkeletalMesh>(), Hidden, "RenderData && RenderData->LODRenderData.Num() > 0"},
		{"vertex data not kept on the CPU", MakeCullableMesh(4, false), Hidden, "StaticVertexBuffer->GetAllowCPUAccess()"},
		{"more vertices than the texture has texels", MakeCullableMesh(5), MakeCache({1, 1, 1, 1, 1}), "VertCount <= TexelCount"},
		{"a section past the last vertex", SectionPastTheEnd, Hidden, "(uint32)VBIndex < VertCount"},
		{"a cache with too few opacities", Mesh, MakeCache({1, 1, 1}), "Cache->VertexOpacity.Num() >= static_cast<int64>(VertCount)"},
	};
	for (const FCase& Case : Cases)
	{
		SCOPED_TRACE(Case.Name);
		Component->SetSkeletalMeshAsset(Case.Mesh);
		FLogCapture Capture;
		EXPECT_CHECK_FAILS(Component->ApplyCullData(Case.Cache), Case.Check);
		EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error).Num(), 1);
		EXPECT_EQ(StoredCache(Component), Hidden);
		EXPECT_EQ(ReadCullTexels(Component), Before);
	}

	// A texture whose rendering resource was released cannot take the upload.
	Component->SetSkeletalMeshAsset(Mesh);
	UTexture2D* Texture = UserDataTexture(Component);
	Texture->ReleaseResource();
	EXPECT_CHECK_FAILS(Component->ApplyCullData(MakeCache({1, 1, 1, 1})), "TexResource");
	EXPECT_EQ(StoredCache(Component), Hidden);
	Texture->UpdateResource();
	EXPECT_EQ(ReadCullTexels(Component), Before);
}

TEST_F(HCEditableComponentCullingTest, ALaterCullDataWaitsUntilTheEarlierUploadHasReadItsTexels)
{
	SetRenderingThreaded(true);
	UHCRecordingEditableComponent* Component = BeginEditing(MakeCullableMesh(4));
	const FTextureResource* Resource = UserDataTexture(Component)->GetResource();
	TArray<uint8> FirstUpload;
	{
		FRenderThreadHold Hold;
		Component->ApplyCullData(MakeCache({0, 0, 0, 0}));
		// Runs right after the first upload, before anything the second call queues.
		ENQUEUE_RENDER_COMMAND(ReadFirstUpload)([Resource, &FirstUpload](FRHICommandListImmediate& RHICmdList) {
			RHICmdList.ReadTexture(Resource->TextureRHI, FirstUpload);
		});
		FDelayedRelease Release(Hold);
		Component->ApplyCullData(MakeCache({0.5f, 0.5f, 1, 1}));
		EXPECT_TRUE(Release.HasReleased()) << "the second call rewrote the texels while the first upload was still queued";
	}
	FlushRenderingCommands();
	EXPECT_EQ(ToColors(FirstUpload.GetData(), FirstUpload.Num()),
		(std::vector<FColor>{Grey(0), Grey(0), Grey(0), Grey(0)}));
	EXPECT_EQ(ReadCullTexels(Component), (std::vector<FColor>{Grey(127), Grey(127), White, White}));
}

TEST_F(HCEditableComponentCullingTest, ACollectedComponentLetsItsQueuedUploadReadItsTexelsFirst)
{
	SetRenderingThreaded(true);
	UHCRecordingEditableComponent* Component = BeginEditing(MakeCullableMesh(4));
	// The textures outlive the component, so only the component's own destruction can wait for the upload.
	const TStrongObjectPtr<UTexture2D> Texture(UserDataTexture(Component));
	const TStrongObjectPtr<UTexture2D> Mask(DefaultCullMask(Component));
	{
		FRenderThreadHold Hold;
		Component->ApplyCullData(MakeCache({0, 1, 0, 1}));
		Component->DestroyComponent();
		FDelayedRelease Release(Hold);
		CollectGarbage();
		EXPECT_TRUE(Release.HasReleased()) << "the component went while its upload was still queued";
	}
	FlushRenderingCommands();
	EXPECT_EQ(ToColors(ReadGpuTexels(Texture.Get())), (std::vector<FColor>{Grey(0), White, Grey(0), White}));
}
