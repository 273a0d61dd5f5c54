#include "HCModelSerializer.h"

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "DataAssets/HCDataAssets.h"
#include "GenericPlatform/GenericPlatformFile.h"
#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "HCEditState.h"
#include "Misc/FileHelper.h"
#include "Models/HCMorphShapingModel.h"
#include "Models/HCTextureEditingModel.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"
#include "Vorpex.h"

namespace
{
	/** Every weight of Model, in the model's order. */
	TArray<FHCMorphWeightRecord> MorphWeightsOf(const UHCMorphShapingModel& Model)
	{
		TArray<FHCMorphWeightRecord> Records;
		Records.Reserve(Model.GetMorphTargetWeights().Num());
		for (const TPair<FString, float>& Weight : Model.GetMorphTargetWeights())
		{
			Records.Add({Weight.Key, Weight.Value});
		}
		return Records;
	}

	/** The colour of every colorize among Model's interface processors, by ascending component, stack and processor index. */
	TArray<FHCColorizeColorRecord> ColorizeColorsOf(const UHCTextureEditingModel& Model)
	{
		TArray<FHCColorizeColorRecord> Records;
		const TArray<FHCTextureEditingComponent>& Components = Model.GetImageProcessorComponents();
		for (int32 ComponentIndex = 0; ComponentIndex < Components.Num(); ++ComponentIndex)
		{
			const TArray<FHCTextureEditingProcessorStack>& Stacks = Components[ComponentIndex].ImageProcessorStacks;
			for (int32 StackIndex = 0; StackIndex < Stacks.Num(); ++StackIndex)
			{
				for (int32 ProcessorIndex = 0; ProcessorIndex < Stacks[StackIndex].InterfaceProcessors.Num(); ++ProcessorIndex)
				{
					if (const UHCColorize* Colorize = Model.FindInterfaceColorize(ComponentIndex, StackIndex, ProcessorIndex))
					{
						Records.Add({ComponentIndex, StackIndex, ProcessorIndex, Colorize->GetColor()});
					}
				}
			}
		}
		return Records;
	}
}

void UHCModelSerializer::SetMorphShapingModel(UHCMorphShapingModel* Model)
{
	MorphShapingModel = Model;
}

void UHCModelSerializer::SetTextureEditingModel(UHCTextureEditingModel* Model)
{
	TextureEditingModel = Model;
}

void UHCModelSerializer::AssignDataModels(UHCEditableSkeletalMeshComponent* SkeletalMeshComponent)
{
	TryAssignDataModels(SkeletalMeshComponent);
}

bool UHCModelSerializer::TryAssignDataModels(UHCEditableSkeletalMeshComponent* SkeletalMeshComponent)
{
	if (!IsValid(SkeletalMeshComponent))
	{
		UE_LOG(LogVorpex, Error, TEXT("%s - Unable to assign data models. No valid SkeletalMeshComponent assigned"),
			TEXT("UHCModelSerializer::AssignDataModels"));
		return false;
	}
	if (!IsValid(SkeletalMeshComponent->CEConfigData))
	{
		UE_LOG(LogVorpex, Error, TEXT("%s - Unable to assign data models. No valid CEConfigData assigned"),
			TEXT("UHCModelSerializer::AssignDataModels"));
		return false;
	}
	MorphShapingModel = SkeletalMeshComponent->getMorphShapingModel();
	TextureEditingModel = SkeletalMeshComponent->getTextureEditingModel();
	return true;
}

bool UHCModelSerializer::SerializeEditableSkeletalMeshComponent(UHCEditableSkeletalMeshComponent* SkeletalMeshComponent, TArray<uint8>& OutBytes)
{
	// Without the component's models the bytes would claim an edit state with neither section,
	// which no editing component accepts back.
	UHCModelSerializer* Serializer = NewObject<UHCModelSerializer>(GetTransientPackage());
	return Serializer->TryAssignDataModels(SkeletalMeshComponent) && Serializer->SerializeToBytes(OutBytes);
}

bool UHCModelSerializer::DeserializeEditableSkeletalMeshComponent(UHCEditableSkeletalMeshComponent* SkeletalMeshComponent, const TArray<uint8>& Bytes)
{
	UHCModelSerializer* Serializer = NewObject<UHCModelSerializer>(GetTransientPackage());
	return Serializer->TryAssignDataModels(SkeletalMeshComponent) && Serializer->DeserializeFromBytes(Bytes);
}

bool UHCModelSerializer::SerializeToBytes(TArray<uint8>& OutBytes)
{
	FHCEditState State;
	State.bUseMorphTargets = MorphShapingModel.IsValid();
	State.bUseTextureEditing = TextureEditingModel.IsValid();
	if (const UHCMorphShapingModel* Model = MorphShapingModel.Get())
	{
		State.MorphWeights = MorphWeightsOf(*Model);
	}
	if (const UHCTextureEditingModel* Model = TextureEditingModel.Get())
	{
		State.ColorizeColors = ColorizeColorsOf(*Model);
	}
	State.Write(OutBytes);
	return true;
}

bool UHCModelSerializer::DeserializeFromBytes(const TArray<uint8>& InBytes)
{
	// Everything is read and checked before the first value is applied, so damaged bytes
	// never leave a character half loaded.
	FHCEditState State;
	TArray<UHCColorize*> Colorizes;
	FString Error;
	if (!State.Read(InBytes, Error) || !CheckFitsModels(State, Colorizes, Error))
	{
		UE_LOG(LogTemp, Error, TEXT("%s - %s; nothing was loaded"), TEXT("UHCModelSerializer::DeserializeFromBytes"), *Error);
		return false;
	}

	if (UHCMorphShapingModel* Model = MorphShapingModel.Get())
	{
		Model->bDirty = true;
		for (const FHCMorphWeightRecord& Record : State.MorphWeights)
		{
			// A name the model has keeps the spelling the mesh gave it.
			Model->MorphTargetWeights.FindOrAdd(Record.Name) = Record.Weight;
		}
	}
	if (UHCTextureEditingModel* Model = TextureEditingModel.Get())
	{
		Model->bDirty = true;
		for (int32 Index = 0; Index < Colorizes.Num(); ++Index)
		{
			Colorizes[Index]->SetColor(State.ColorizeColors[Index].Color);
		}
	}
	return true;
}

bool UHCModelSerializer::CheckFitsModels(const FHCEditState& State, TArray<UHCColorize*>& OutColorizes, FString& OutError) const
{
	if (State.bUseMorphTargets != MorphShapingModel.IsValid())
	{
		OutError = State.bUseMorphTargets ? TEXT("The bytes hold morph weights, but there is no morph-shaping model to load them into")
										  : TEXT("The bytes hold no morph weights, but a morph-shaping model is set");
		return false;
	}
	if (State.bUseTextureEditing != TextureEditingModel.IsValid())
	{
		OutError = State.bUseTextureEditing ? TEXT("The bytes hold colours, but there is no texture-editing model to load them into")
											: TEXT("The bytes hold no colours, but a texture-editing model is set");
		return false;
	}
	OutColorizes.Reserve(State.ColorizeColors.Num());
	for (int32 Index = 0; Index < State.ColorizeColors.Num(); ++Index)
	{
		const FHCColorizeColorRecord& Record = State.ColorizeColors[Index];
		UHCColorize* Colorize = TextureEditingModel->FindInterfaceColorize(Record.ComponentIndex, Record.StackIndex, Record.ProcessorIndex);
		if (!Colorize)
		{
			OutError = FString::Printf(TEXT("Colour %d (component %d, stack %d, processor %d) addresses no colorize processor of the texture-editing model"),
				Index, Record.ComponentIndex, Record.StackIndex, Record.ProcessorIndex);
			return false;
		}
		OutColorizes.Add(Colorize);
	}
	return true;
}

bool UHCModelSerializer::SaveToFile(const FString& FilePath, const TArray<uint8>& Bytes)
{
	if (Bytes.IsEmpty())
	{
		UE_LOG(LogTemp, Warning, TEXT("SaveToFile: Cannot save an empty byte array to file."));
		return false;
	}
	// The engine's SaveArrayToFile may write the target in place; a save that failed half way
	// would then leave a cut-off edit state where the last good one was.
	const FString SavingPath = FilePath + TEXT(".saving");
	if (!FFileHelper::SaveArrayToFile(Bytes, *SavingPath) || !IFileManager::Get().Move(*FilePath, *SavingPath))
	{
		IFileManager::Get().Delete(*SavingPath, false, false, true);
		UE_LOG(LogTemp, Error, TEXT("SaveToFile: Failed to save file to %s"), *FilePath);
		return false;
	}
	UE_LOG(LogTemp, Log, TEXT("SaveToFile: Successfully saved file to %s"), *FilePath);
	return true;
}

bool UHCModelSerializer::LoadFromFile(const FString& FilePath, TArray<uint8>& OutBytes)
{
	if (!FPlatformFileManager::Get().GetPlatformFile().FileExists(*FilePath))
	{
		UE_LOG(LogTemp, Warning, TEXT("File not found: %s"), *FilePath);
		return false;
	}
	if (!FFileHelper::LoadFileToArray(OutBytes, *FilePath))
	{
		UE_LOG(LogTemp, Warning, TEXT("Failed to load file from %s"), *FilePath);
		return false;
	}
	UE_LOG(LogTemp, Log, TEXT("Successfully loaded file from %s"), *FilePath);
	return true;
}
