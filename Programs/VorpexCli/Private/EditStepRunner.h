#pragma once

// Runs the steps of an edit script on a character being edited. Slider steps move the
// editor's slider widgets as a person would, so a script and a person moving the same sliders
// leave the same edit state. Culling steps call the component's culling operations
// with the assets the script's check loaded.

#include "CoreMinimal.h"

class FCharacterEditorSession;
class FVorpexHost;
class UHCEditableSkeletalMeshComponent;
struct FEditStep;

class FEditStepRunner
{
public:
	enum class EResult : uint8
	{
		Done,
		/** A state to load could not be read or does not fit the character; nothing was loaded. */
		BadInput,
		/** A state could not be saved; an earlier file of that name is left as it was. */
		WriteFailed,
	};

	/** Runs steps on Body, which must be editing in Host's world under Editor; all three must outlive the runner. */
	FEditStepRunner(FVorpexHost& InHost, UHCEditableSkeletalMeshComponent& InBody, FCharacterEditorSession& InEditor);

	/** Runs Step; anything but Done comes with the reason in OutError, the log above giving the details. */
	EResult Run(const FEditStep& Step, FString& OutError);

private:
	void MoveSlider(const FEditStep& Step);
	void Tick(int32 Ticks);
	EResult Save(const FEditStep& Step, FString& OutError);
	EResult Load(const FEditStep& Step, FString& OutError);

	FVorpexHost& Host;
	UHCEditableSkeletalMeshComponent& Body;
	FCharacterEditorSession& Editor;
};
