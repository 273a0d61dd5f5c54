#include "Views/HCCharacterEditorWidget.h"

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "Components/VerticalBox.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Views/HCCharacterEditorExpandableArea.h"
#include "Views/HCCharacterEditorSliders.h"

void UHCCharacterEditorWidget::NativeConstruct()
{
	Super::NativeConstruct();
	checkf(SettingsList != nullptr, TEXT("SettingsList must be initialized."));
	// The rows point into the configuration, which does not change while the editor is open:
	// a built editor is complete.
	if (!ExpandableAreasMap.IsEmpty())
	{
		return;
	}
	TMap<FString, const FHCCharacterEditorSegmentation*> MeshSegmentations;
	AddShapeRows(MeshSegmentations);
	AddColourRows(MeshSegmentations);
}

void UHCCharacterEditorWidget::AddShapeRows(TMap<FString, const FHCCharacterEditorSegmentation*>& MeshSegmentations)
{
	for (const FHCCharacterEditorSegmentation& Segmentation : HCSkeletalMeshComponent->CEConfigData->segmentations)
	{
		// A later segmentation that targets the same mesh takes it over.
		for (const FString& Mesh : Segmentation.targetSkinCompositionMeshes)
		{
			MeshSegmentations.Add(Mesh, &Segmentation);
		}
		for (const FHCShapeConstraints& Constraint : Segmentation.shapeConstraints)
		{
			getOrCreateExpandableArea(Segmentation.displayName)->AddShapeConstraintsSlider(Constraint);
		}
	}
}

void UHCCharacterEditorWidget::AddColourRows(const TMap<FString, const FHCCharacterEditorSegmentation*>& MeshSegmentations)
{
	// The controller gives every handler of one display name in a segmentation the same
	// colour picker, so one row shows them all.
	TMap<const FHCCharacterEditorSegmentation*, TSet<FString>> ShownHandlers;
	for (const FHCCharacterEditorSkinCompositionComponent& Component : HCSkeletalMeshComponent->SkinCompositionEditorData->components)
	{
		TArray<const FHCCharacterEditorSegmentation*> segmentations;
		for (const FString& Mesh : Component.meshes)
		{
			if (const FHCCharacterEditorSegmentation* const* Segmentation = MeshSegmentations.Find(Mesh))
			{
				segmentations.AddUnique(*Segmentation);
			}
		}
		if (segmentations.IsEmpty())
		{
			continue;
		}
		check(segmentations.Num() == 1);
		const FHCCharacterEditorSegmentation& Segmentation = *segmentations[0];
		TSet<FString>& Shown = ShownHandlers.FindOrAdd(&Segmentation);
		for (const FHCCharacterEditorSkinCompositionHandler& Handler : Component.handlers)
		{
			if (!Shown.Contains(Handler.displayName))
			{
				Shown.Add(Handler.displayName);
				getOrCreateExpandableArea(Segmentation.displayName)->AddSkinCompositingHandler(Segmentation, Handler);
			}
		}
	}
}

UHCCharacterEditorExpandableArea* UHCCharacterEditorWidget::getOrCreateExpandableArea(const FString& Title)
{
	if (const TObjectPtr<UHCCharacterEditorExpandableArea>* Found = ExpandableAreasMap.Find(Title))
	{
		return *Found;
	}
	UHCCharacterEditorExpandableArea* Area = NewObject<UHCCharacterEditorExpandableArea>(this);
	Area->Slider1DClass = HCCharacterEditor1DSliderClass;
	Area->Slider2DClass = HCCharacterEditor2DSliderClass;
	Area->PolygonSliderClass = HCCharacterEditorPolygonSliderClass;
	Area->MorphShapingController = HCSkeletalMeshComponent->getMorphShapingController();
	Area->TextureEditingController = HCSkeletalMeshComponent->getTextureEditingController();
	Area->Initialize(Title);
	SettingsList->AddChild(Area);
	ExpandableAreasMap.Add(Title, Area);
	return Area;
}
