#include "ActorComponents/HCEditableSkeletalMeshComponent.h"

#include "Controllers/HCMorphShapingController.h"
#include "Controllers/HCTextureEditingController.h"
#include "Engine/SkeletalMesh.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "Models/HCMorphShapingModel.h"
#include "Models/HCTextureEditingModel.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "TextureResource.h"
#include "UObject/UObjectGlobals.h"

#include <cmath>

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
