#include "ActorComponents/HCEditableSkeletalMeshComponent.h"

#include "Controllers/HCMorphShapingController.h"
#include "Controllers/HCTextureEditingController.h"
#include "DataAssets/HCVertexCacheData.h"
#include "Engine/SkeletalMesh.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "Models/HCMorphShapingModel.h"
#include "Models/HCTextureEditingModel.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "TextureResource.h"
#include "UObject/UObjectGlobals.h"

#include <cmath>
#include <thread>
#include <utility>

namespace
{
	constexpr int32 DefaultCullMaskSize = 16;
	const FColor OpaqueWhite(255, 255, 255, 255);

	/** The side of the smallest square holding at least TexelCount texels; at least 1, so the texture can exist. */
	int32 SquareSideFor(int64 TexelCount)
	{
		int32 Side = FMath::Max(1, static_cast<int32>(std::sqrt(static_cast<double>(TexelCount))));
		// The square root of a large count may be off by one either way in double precision.
		while (static_cast<int64>(Side) * Side < TexelCount)
		{
			++Side;
		}
		while (Side > 1 && static_cast<int64>(Side - 1) * (Side - 1) >= TexelCount)
		{
			--Side;
		}
		return Side;
	}

	int64 CountLOD0Vertices(const USkeletalMesh* Mesh)
	{
		const FSkeletalMeshRenderData* RenderData = Mesh ? Mesh->GetResourceForRendering() : nullptr;
		if (!RenderData || RenderData->LODRenderData.IsEmpty())
		{
			return 0;
		}
		return RenderData->LODRenderData[0].GetNumVertices();
	}

	/** LOD 0 of Mesh's render data, which must exist. */
	const FSkeletalMeshLODRenderData& GetLOD0(const USkeletalMesh* Mesh)
	{
		check(Mesh);
		const FSkeletalMeshRenderData* RenderData = Mesh->GetResourceForRendering();
		check(RenderData && RenderData->LODRenderData.Num() > 0);
		return RenderData->LODRenderData[0];
	}

	/**
	 * The grey level the culling material reads an opacity from: 255 × opacity, truncated, so 0.5
	 * gives 127. Opacities outside [0, 1] are limited to it rather than wrapping around in eight
	 * bits (a NaN counts as visible).
	 */
	uint8 CullTexelLevel(float Opacity)
	{
		return static_cast<uint8>(FMath::Clamp(static_cast<double>(Opacity), 0.0, 1.0) * 255.0);
	}

	/** The mesh name the skin composition knows a material slot by: lower case, without an "m_" prefix or a number suffix. */
	FString MeshNameOfSlot(FName SlotName)
	{
		FString MeshName = SlotName.GetPlainNameString().ToLower();
		if (MeshName.StartsWith(TEXT("m_"), ESearchCase::IgnoreCase))
		{
			MeshName.RightChopInline(2);
		}
		return MeshName;
	}

	/** Settings for a texture of per-texel data: read texel by texel, linear, always resident. */
	void ConfigureAsPixelData(UTexture2D& Texture)
	{
		Texture.SRGB = false;
		Texture.Filter = TF_Nearest;
		Texture.NeverStream = true;
		Texture.LODGroup = TEXTUREGROUP_Pixels2D;
		Texture.UpdateResource();
	}

	/**
	 * Queues Pixels for upload into the whole of the square Texture through Region. Both are
	 * read when the render thread runs the upload, so they belong to the caller, and the
	 * clean-up has nothing to free.
	 */
	void QueueWholeTextureUpload(UTexture2D& Texture, TArray<FColor>& Pixels, FUpdateTextureRegion2D& Region)
	{
		const FTextureResource* TexResource = Texture.GetResource();
		check(TexResource);
		const uint32 Side = static_cast<uint32>(Texture.GetSizeX());
		Region = FUpdateTextureRegion2D(0, 0, 0, 0, Side, Side);
		Texture.UpdateTextureRegions(0, 1, &Region, Side * sizeof(FColor), sizeof(FColor), reinterpret_cast<uint8*>(Pixels.GetData()),
			[](uint8*, const FUpdateTextureRegion2D*) {});
	}

	/** Blocks until Fence completes. Polling rather than Wait: a failure of another render command is the next flush's to report. */
	void WaitWithoutRaising(const FRenderCommandFence& Fence)
	{
		while (!Fence.IsFenceComplete())
		{
			std::this_thread::yield();
		}
	}
}

UHCEditableSkeletalMeshComponent::UHCEditableSkeletalMeshComponent(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
}

void UHCEditableSkeletalMeshComponent::BeginEditing()
{
	check(State == EHCEditableSkeletalMeshComponentState::ESMCS_Initial);
	State = EHCEditableSkeletalMeshComponentState::ESMCS_Editing;

	CreateDefaultCullMask();
	CreateUserDataTexture();
	CreateEditorObjects();
	BindMaterialSlots();
	TextureEditingController->ResetToConfigValues();
}

void UHCEditableSkeletalMeshComponent::FinishEditing()
{
	if (State == EHCEditableSkeletalMeshComponentState::ESMCS_Editing)
	{
		ApplyEdits();
	}
	State = EHCEditableSkeletalMeshComponentState::ESMCS_Finished;
}

void UHCEditableSkeletalMeshComponent::TickComponent(float DeltaTime, ELevelTick TickType, FActorComponentTickFunction* ThisTickFunction)
{
	Super::TickComponent(DeltaTime, TickType, ThisTickFunction);
	if (State == EHCEditableSkeletalMeshComponentState::ESMCS_Editing)
	{
		ApplyEdits();
	}
}

void UHCEditableSkeletalMeshComponent::BeginDestroy()
{
	WaitWithoutRaising(TexelUploadFence);
	Super::BeginDestroy();
}

void UHCEditableSkeletalMeshComponent::ApplyCullMasks(UHCAttachmentCullMaskData* AttachmentCullMaskData)
{
	const FName CullMaskParameter(TEXT("CM_Texture"));
	for (const auto& Entry : MaterialNameToDynamicMaterialInstance)
	{
		if (Entry.Value)
		{
			Entry.Value->SetTextureParameterValue(CullMaskParameter, DefaultCullMask);
		}
	}
	if (!AttachmentCullMaskData)
	{
		return;
	}
	for (const auto& [MaterialName, CullMask] : AttachmentCullMaskData->NameToCullMap)
	{
		if (UMaterialInstanceDynamic* Instance = MaterialNameToDynamicMaterialInstance.FindRef(MaterialName))
		{
			Instance->SetTextureParameterValue(CullMaskParameter, CullMask);
		}
	}
}

void UHCEditableSkeletalMeshComponent::ApplyCullData(UHCAttachmentVertexCacheData* AtthVertexCacheData)
{
	TArray<FColor> Texels = MakeCullTexels(AtthVertexCacheData);
	const FTextureResource* TexResource = UserDataTexture_0->GetResource();
	check(TexResource);

	AttachmentVertexCacheData = AtthVertexCacheData;
	// The previous upload may still be queued, reading UserDataPixels and the region.
	WaitWithoutRaising(TexelUploadFence);
	UserDataPixels = std::move(Texels);
	UploadUserData();
}

TArray<FColor> UHCEditableSkeletalMeshComponent::MakeCullTexels(const UHCAttachmentVertexCacheData* Cache) const
{
	check(UserDataTexture_0);
	const int32 TexWidth = UserDataTexture_0->GetSizeX();
	const int32 TexHeight = UserDataTexture_0->GetSizeY();
	check(TexWidth == TexHeight);
	const int64 TexelCount = static_cast<int64>(TexWidth) * TexHeight;

	const FSkeletalMeshLODRenderData& LOD = GetLOD0(GetSkeletalMeshAsset());
	const FStaticMeshVertexBuffer* StaticVertexBuffer = &LOD.StaticVertexBuffers.StaticMeshVertexBuffer;
	check(StaticVertexBuffer->GetAllowCPUAccess());
	const uint32 VertCount = StaticVertexBuffer->GetNumVertices();
	check(VertCount <= TexelCount);
	if (Cache)
	{
		checkf(Cache->VertexOpacity.Num() >= static_cast<int64>(VertCount), TEXT("%s has %d vertex opacities for %u vertices"), *Cache->GetPathName(),
			Cache->VertexOpacity.Num(), VertCount);
	}

	// Texels no vertex maps to stay visible, so a stray read of one hides nothing.
	TArray<FColor> Texels;
	Texels.Init(OpaqueWhite, static_cast<int32>(TexelCount));
	for (const FSkelMeshRenderSection& Section : LOD.RenderSections)
	{
		for (uint32 Offset = 0; Offset < Section.NumVertices; ++Offset)
		{
			const int32 VBIndex = static_cast<int32>(Section.BaseVertexIndex + Offset);
			check((uint32)VBIndex < VertCount);
			const uint8 Level = Cache ? CullTexelLevel(Cache->VertexOpacity[VBIndex]) : 255;
			Texels[VBIndex] = FColor(Level, Level, Level, 255);
		}
	}
	return Texels;
}

void UHCEditableSkeletalMeshComponent::ApplyEdits()
{
	check(State == EHCEditableSkeletalMeshComponentState::ESMCS_Editing);
	// The controllers clear the dirty flags, so unchanged models cost nothing per frame.
	if (TextureEditingModel && TextureEditingController && TextureEditingModel->IsMarkedDirty())
	{
		TextureEditingController->ApplyChanges();
	}
	if (MorphShapingModel && MorphShapingController && MorphShapingModel->IsMarkedDirty())
	{
		MorphShapingController->ApplyChanges(this);
	}
	MarkRenderStateDirty();
}

void UHCEditableSkeletalMeshComponent::CreateDefaultCullMask()
{
	DefaultCullMask = UTexture2D::CreateTransient(DefaultCullMaskSize, DefaultCullMaskSize, PF_B8G8R8A8);
	check(DefaultCullMask);
	ConfigureAsPixelData(*DefaultCullMask);
	DefaultCullMaskPixels.Init(OpaqueWhite, DefaultCullMaskSize * DefaultCullMaskSize);
	QueueWholeTextureUpload(*DefaultCullMask, DefaultCullMaskPixels, TextureUpdateRegion);
	TexelUploadFence.BeginFence();
}

void UHCEditableSkeletalMeshComponent::CreateUserDataTexture()
{
	const int32 Side = SquareSideFor(CountLOD0Vertices(GetSkeletalMeshAsset()));
	UserDataTexture_0 = UTexture2D::CreateTransient(Side, Side, PF_B8G8R8A8);
	check(UserDataTexture_0);
	ConfigureAsPixelData(*UserDataTexture_0);
	// Every vertex shows until culling data says otherwise.
	UserDataPixels.Init(OpaqueWhite, Side * Side);
	UploadUserData();
}

void UHCEditableSkeletalMeshComponent::UploadUserData()
{
	QueueWholeTextureUpload(*UserDataTexture_0, UserDataPixels, UserDataUpdateRegion);
	TexelUploadFence.BeginFence();
}

void UHCEditableSkeletalMeshComponent::CreateEditorObjects()
{
	USkeletalMesh* Mesh = GetSkeletalMeshAsset();

	checkf(MorphShapingModel == nullptr, TEXT("MorphShapingModel should be null before initializing it."));
	MorphShapingModel = NewObject<UHCMorphShapingModel>(this);
	MorphShapingModel->Initialize(CEConfigData, Mesh);

	checkf(MorphShapingController == nullptr, TEXT("MorphShapingController should be null before initializing it."));
	MorphShapingController = NewObject<UHCMorphShapingController>(this);
	MorphShapingController->Initialize(CEConfigData);
	MorphShapingController->SetModel(MorphShapingModel);

	checkf(TextureEditingModel == nullptr, TEXT("TextureEditingModel should be null before initializing it."));
	TextureEditingModel = NewObject<UHCTextureEditingModel>(this);
	TextureEditingModel->Initialize(SkinCompositionEditorData, Mesh);

	checkf(TextureEditingController == nullptr, TEXT("TextureEditingController should be null before initializing it."));
	TextureEditingController = NewObject<UHCTextureEditingController>(this);
	TextureEditingController->Initialize(CEConfigData, SkinCompositionEditorData);
	TextureEditingController->SetModel(TextureEditingModel);
}

void UHCEditableSkeletalMeshComponent::BindMaterialSlots()
{
	const USkeletalMesh* Mesh = GetSkeletalMeshAsset();
	if (!Mesh)
	{
		return;
	}
	const TArray<FSkeletalMaterial>& Slots = Mesh->GetMaterials();
	MaterialNameToDynamicMaterialInstance.Reserve(Slots.Num());
	for (int32 SlotIndex = 0; SlotIndex < Slots.Num(); ++SlotIndex)
	{
		const FHCTextureEditingBindingKey Key(MeshNameOfSlot(Slots[SlotIndex].MaterialSlotName), EHCTextureEditingMaterialKey::MK_Albedo);
		if (!TextureEditingModel->SupportsMesh(Key))
		{
			continue;
		}
		UMaterialInstanceDynamic* Instance = CreateAndSetMaterialInstanceDynamic(SlotIndex);
		MaterialNameToDynamicMaterialInstance.Add(Slots[SlotIndex].MaterialSlotName.ToString(), Instance);
		if (Instance)
		{
			Instance->SetTextureParameterValue(FName(TEXT("BC_Texture")), TextureEditingModel->GetMeshRenderTarget(Key));
			Instance->SetTextureParameterValue(FName(TEXT("CM_Texture")), UserDataTexture_0);
		}
	}
}
