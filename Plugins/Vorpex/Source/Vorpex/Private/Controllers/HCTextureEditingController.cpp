#include "Controllers/HCTextureEditingController.h"

#include "Controllers/ImageProcessor/HCColorize.h"
#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "Controllers/ImageProcessor/HCImageProcessorBatch.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Models/HCTextureEditingModel.h"
#include "Templates/Casts.h"

#include <utility>

namespace
{
	bool IsPixelPicker(const FHCCharacterEditorSkinCompositionHandler& Handler)
	{
		return Handler.type.Equals(TEXT("PixelPickerElement"), ESearchCase::CaseSensitive);
	}
}

void UHCTextureEditingController::Initialize(UHCCharacterEditorConfigData* Config, UHCCharacterEditorSkinCompositionData* Skin)
{
	SkinCompositionData = Skin;
	HandlerToColorPicker.Empty();
	ColorPickers.Empty();
	if (!Config || !Skin)
	{
		UE_LOG(LogTemp, Error, TEXT("The texture-editing controller needs an editor configuration and a skin composition; it has no colour pickers."));
		return;
	}

	TMap<FString, FString> MeshToSegmentation;
	for (const FHCCharacterEditorSegmentation& Segmentation : Config->segmentations)
	{
		for (const FString& MeshName : Segmentation.targetSkinCompositionMeshes)
		{
			MeshToSegmentation.Add(MeshName, Segmentation.name);
		}
	}
	TMap<FString, TMap<FString, int32>> SegmentationToPickers;
	for (const FHCCharacterEditorSegmentation& Segmentation : Config->segmentations)
	{
		SegmentationToPickers.Add(Segmentation.name, TMap<FString, int32>());
	}

	for (int32 ComponentIndex = 0; ComponentIndex < Skin->components.Num(); ++ComponentIndex)
	{
		const FHCCharacterEditorSkinCompositionComponent& Component = Skin->components[ComponentIndex];
		if (Component.meshes.IsEmpty())
		{
			UE_LOG(LogTemp, Error, TEXT("Skin composition component %d has no meshes; its handlers get no colour pickers."), ComponentIndex);
			continue;
		}
		const FString* SegmentationName = MeshToSegmentation.Find(Component.meshes[0]);
		if (!SegmentationName)
		{
			continue;
		}
		TMap<FString, int32>& SegmentationPickers = SegmentationToPickers.FindChecked(*SegmentationName);
		for (int32 HandlerIndex = 0; HandlerIndex < Component.handlers.Num(); ++HandlerIndex)
		{
			const FHCCharacterEditorSkinCompositionHandler& Handler = Component.handlers[HandlerIndex];
			if (!IsPixelPicker(Handler))
			{
				UE_LOG(LogTemp, Error, TEXT("Skin composition component %d, handler %d: unsupported handler type \"%s\"; skipped."),
					ComponentIndex, HandlerIndex, *Handler.type);
				continue;
			}
			try
			{
				AddHandler(ComponentIndex, &Handler, SegmentationPickers);
			}
			catch (const FCheckFailure& Failure)
			{
				UE_LOG(LogTemp, Error, TEXT("Skin composition component %d, handler %d: check \"%s\" failed; skipped."),
					ComponentIndex, HandlerIndex, Failure.GetExpression().c_str());
			}
		}
	}
}

void UHCTextureEditingController::AddHandler(int32 ComponentIndex, const FHCCharacterEditorSkinCompositionHandler* Handler, TMap<FString, int32>& SegmentationPickers)
{
	int32 ColorPickerIndex = -1;
	if (const int32* Existing = SegmentationPickers.Find(Handler->displayName))
	{
		ColorPickerIndex = *Existing;
		FHCTextureEditingColorPickerData& Picker = ColorPickers[ColorPickerIndex];
		Picker.components.Add(ComponentIndex);
		Picker.stacks.Add(Handler->stack);
		Picker.processes.Add(Handler->process);
	}
	else
	{
		check(Handler->textureParams.Num() == 1);
		// Filled before it is added, so that a failure on the way leaves no picker without bindings.
		FHCTextureEditingColorPickerData Picker;
		Picker.texture2D = Handler->textureParams[0];
		if (!Picker.SetTextureColors())
		{
			UE_LOG(LogTemp, Error, TEXT("Skin composition component %d: the palette of colour picker \"%s\" could not be read; its handlers are skipped."),
				ComponentIndex, *Handler->displayName);
		}
		Picker.components = {ComponentIndex};
		Picker.stacks = {Handler->stack};
		Picker.processes = {Handler->process};
		ColorPickerIndex = ColorPickers.Add(std::move(Picker));
		SegmentationPickers.Add(Handler->displayName, ColorPickerIndex);
	}
	check(ColorPickerIndex != -1);
	HandlerToColorPicker.Add(Handler, ColorPickerIndex);
}

void UHCTextureEditingController::SetModel(UHCTextureEditingModel* Model)
{
	ModelToControl = Model;
}

void UHCTextureEditingController::ResetToConfigValues()
{
	if (!ModelToControl || !SkinCompositionData)
	{
		UE_LOG(LogTemp, Error, TEXT("The texture-editing controller has no model or skin composition to reset."));
		return;
	}
	ModelToControl->bDirty = true;
	for (const FHCCharacterEditorSkinCompositionComponent& Component : SkinCompositionData->components)
	{
		for (const FHCCharacterEditorSkinCompositionHandler& Handler : Component.handlers)
		{
			if (!IsPixelPicker(Handler))
			{
				continue;
			}
			const FHCTextureEditingColorPickerData* Picker = FindUsablePicker(&Handler);
			if (!Picker)
			{
				continue;
			}
			const FVector2f Start = Handler.floatParams.Num() == 2 ? FVector2f(Handler.floatParams[0], Handler.floatParams[1]) : FVector2f(0.0f, 0.0f);
			SetPickerColor(*Picker, Picker->SampleColor(Start));
		}
	}
}

void UHCTextureEditingController::UpdateModel(const FHCCharacterEditorSegmentation* Segmentation, const FHCCharacterEditorSkinCompositionHandler* Handler, FVector2f Position)
{
	if (!ModelToControl || !Handler)
	{
		UE_LOG(LogTemp, Error, TEXT("The texture-editing controller got a picker change without a model or a handler."));
		return;
	}
	ModelToControl->bDirty = true;
	if (!IsPixelPicker(*Handler))
	{
		return;
	}
	const FHCTextureEditingColorPickerData* ColorPicker = FindUsablePicker(Handler);
	if (!ColorPicker)
	{
		return;
	}
	const FColor Color = ColorPicker->SampleColor(Position);
	check(ColorPicker->components.Num() == ColorPicker->stacks.Num());
	check(ColorPicker->components.Num() == ColorPicker->processes.Num());
	SetPickerColor(*ColorPicker, Color);
}

void UHCTextureEditingController::ApplyChanges()
{
	if (!ModelToControl)
	{
		UE_LOG(LogTemp, Error, TEXT("The texture-editing controller has no model to apply changes to."));
		return;
	}
	ModelToControl->bDirty = false;
	TSet<UHCImageProcessor*> Results;
	for (UHCImageProcessor* Result : ModelToControl->ResultNodes)
	{
		Results.Add(Result);
	}
	ProcessImageGameThread(Results);
}

void UHCTextureEditingController::ProcessImageGameThread(UHCImageProcessor* Processor)
{
	TSet<UHCImageProcessor*> Processors;
	Processors.Add(Processor);
	ProcessImageGameThread(Processors);
}

void UHCTextureEditingController::ProcessImageGameThread(const TSet<UHCImageProcessor*>& Processors)
{
	FHCImageProcessorBatch::Run(Processors.Array());
}

int32 UHCTextureEditingController::FindColorPicker(const FHCCharacterEditorSkinCompositionHandler* Handler) const
{
	const int32* Index = HandlerToColorPicker.Find(Handler);
	return Index ? *Index : -1;
}

const FHCTextureEditingColorPickerData* UHCTextureEditingController::FindUsablePicker(const FHCCharacterEditorSkinCompositionHandler* Handler) const
{
	const int32 Index = FindColorPicker(Handler);
	if (Index == -1)
	{
		UE_LOG(LogTemp, Error, TEXT("Colour picker handler \"%s\" has no colour picker; ignored."), *Handler->displayName);
		return nullptr;
	}
	const FHCTextureEditingColorPickerData& Picker = ColorPickers[Index];
	if (!Picker.HasColors())
	{
		UE_LOG(LogTemp, Error, TEXT("Colour picker \"%s\" has no palette colours; ignored."), *Handler->displayName);
		return nullptr;
	}
	return &Picker;
}

void UHCTextureEditingController::SetPickerColor(const FHCTextureEditingColorPickerData& Picker, FColor Color) const
{
	const int32 Bindings = FMath::Min(Picker.components.Num(), FMath::Min(Picker.stacks.Num(), Picker.processes.Num()));
	for (int32 Binding = 0; Binding < Bindings; ++Binding)
	{
		if (UHCColorize* Colorize = ModelToControl->FindInterfaceColorize(Picker.components[Binding], Picker.stacks[Binding], Picker.processes[Binding]))
		{
			Colorize->SetColor(Color);
		}
		else
		{
			UE_LOG(LogTemp, Error, TEXT("Colour picker binding (component %lld, stack %lld, processor %lld) addresses no colorize processor; skipped."),
				static_cast<long long>(Picker.components[Binding]), static_cast<long long>(Picker.stacks[Binding]),
				static_cast<long long>(Picker.processes[Binding]));
		}
	}
}
