#include "EditStepRunner.h"

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "CharacterEditorSession.h"
#include "EditScript.h"
#include "Views/HCCharacterEditorSliders.h"
#include "HCModelSerializer.h"
#include "VorpexHost.h"

namespace
{
	/** The world advances a frame of a 60 Hz editor per tick. */
	constexpr float TickSeconds = 1.0f / 60.0f;
}

FEditStepRunner::FEditStepRunner(FVorpexHost& InHost, UHCEditableSkeletalMeshComponent& InBody, FCharacterEditorSession& InEditor)
	: Host(InHost)
	, Body(InBody)
	, Editor(InEditor)
{
}

FEditStepRunner::EResult FEditStepRunner::Run(const FEditStep& Step, FString& OutError)
{
	switch (Step.Action)
	{
	case FEditStep::EAction::MoveSlider:
		MoveSlider(Step);
		return EResult::Done;
	case FEditStep::EAction::Tick:
		Tick(Step.Ticks);
		return EResult::Done;
	case FEditStep::EAction::ApplyCullMasks:
		Body.ApplyCullMasks(Step.CullMasks.Get());
		return EResult::Done;
	case FEditStep::EAction::ApplyCullData:
		Body.ApplyCullData(Step.VertexCache.Get());
		return EResult::Done;
	case FEditStep::EAction::Save:
		return Save(Step, OutError);
	default:
		return Load(Step, OutError);
	}
}

void FEditStepRunner::MoveSlider(const FEditStep& Step)
{
	const FEditorSlider& Slider = Step.Slider;
	if (Slider.Kind == EEditorSliderKind::OneShape || Slider.Kind == EEditorSliderKind::TwoShapes)
	{
		Editor.MoveSlider(*CastChecked<UHCCharacterEditor1DSlider>(Slider.Widget), Step.Value);
		return;
	}
	Editor.MoveSlider(*Slider.Widget, Step.Position);
}

void FEditStepRunner::Tick(int32 Ticks)
{
	for (int32 Index = 0; Index < Ticks; ++Index)
	{
		Host.Tick(TickSeconds);
		Editor.Tick(TickSeconds);
		Host.CollectGarbage();
	}
}

FEditStepRunner::EResult FEditStepRunner::Save(const FEditStep& Step, FString& OutError)
{
	TArray<uint8> Bytes;
	// The component is editing, so its models are there to be saved.
	verify(UHCModelSerializer::SerializeEditableSkeletalMeshComponent(&Body, Bytes));
	if (!UHCModelSerializer::SaveToFile(Step.FullPath, Bytes))
	{
		OutError = FString::Printf(TEXT("cannot save the edit state to %s (the error above says why)"), *Step.FullPath);
		return EResult::WriteFailed;
	}
	return EResult::Done;
}

FEditStepRunner::EResult FEditStepRunner::Load(const FEditStep& Step, FString& OutError)
{
	TArray<uint8> Bytes;
	if (!UHCModelSerializer::LoadFromFile(Step.FullPath, Bytes))
	{
		OutError = FString::Printf(TEXT("cannot read the edit state %s (the warning above says why)"), *Step.FullPath);
		return EResult::BadInput;
	}
	if (!UHCModelSerializer::DeserializeEditableSkeletalMeshComponent(&Body, Bytes))
	{
		OutError = FString::Printf(TEXT("%s is not an edit state of this character (the error above says why)"), *Step.FullPath);
		return EResult::BadInput;
	}
	return EResult::Done;
}
