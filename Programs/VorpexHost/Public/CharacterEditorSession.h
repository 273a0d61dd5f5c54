#pragma once

#include "Blueprint/WidgetBlueprintRegistry.h"
#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "SliderBlueprintState.h"
#include "Templates/UniquePtr.h"

class FWidgetViewport;
class UHCCharacterEditor1DSlider;
class UHCCharacterEditorWidget;
class UHCEditableSkeletalMeshComponent;
class UUserWidget;

/**
 * The character editor as the programs show it: the editor widget over a character being
 * edited, in the world's game viewport, with every section expanded. Its widget blueprints are
 * the layouts in the programs' data folder (Layouts/CharacterEditor.json, Slider1D.json,
 * Slider2D.json, PolygonSlider.json); the session is their event graph, keeping what each
 * slider shows (FSliderBlueprintState), and moves sliders as a person would, through their
 * OnChanged. One session at a time, on the game thread.
 */
class VORPEXHOST_API FCharacterEditorSession : public IWidgetBlueprintListener
{
public:
	/** The layout files' names in the layouts folder, in the order of the classes they describe. */
	static const TCHAR* const LayoutFiles[4];

	/**
	 * Begins editing Body (unless it has begun) and builds, lays out and ticks the editor once.
	 * Null, with OutError naming the file and the reason, when a layout of LayoutsDir cannot be
	 * read or is not a layout; Body is left alone then.
	 */
	static TUniquePtr<FCharacterEditorSession> Open(UHCEditableSkeletalMeshComponent& Body, const FString& LayoutsDir, FString& OutError);

	/** Takes the layouts' registrations back. */
	~FCharacterEditorSession() override;
	FCharacterEditorSession(const FCharacterEditorSession&) = delete;
	FCharacterEditorSession& operator=(const FCharacterEditorSession&) = delete;

	UHCCharacterEditorWidget& GetEditor() const;

	/** Constructs what joined the editor, lays it out over the viewport and ticks its widgets. */
	void Tick(float DeltaSeconds);

	/** Moves a 1-D slider to Value: the blueprint keeps the value and calls OnChanged. */
	void MoveSlider(UHCCharacterEditor1DSlider& Slider, float Value);
	/** Moves a colour picker or polygon slider to Position (normalised slider space) through its OnChanged. */
	void MoveSlider(UUserWidget& Slider, FVector2f Position);

	/**
	 * Keeps what a slider shows after a call of its OnChanged made elsewhere (a page calling
	 * it): a 1-D slider's value, a colour picker's position.
	 */
	void RecordMove(const UUserWidget& Slider, float Value);
	void RecordMove(const UUserWidget& Slider, FVector2f Position);

	/**
	 * After an edit state was loaded: the slider values that follow from the morph weights are
	 * taken from them (a one-shape slider shows its shape's weight, a two-shape slider the
	 * second weight less the first), and colour pickers forget their positions, which a state
	 * does not keep.
	 */
	void ShowLoadedState();

	/** The editor's laid-out tree (see FWidgetTreeJson). */
	TSharedRef<FJsonObject> ToJson() const;

	void OnBlueprintEvent(UUserWidget& Widget, const UFunction& Event, void* Parms) override;

private:
	FCharacterEditorSession() = default;
	bool RegisterLayouts(const FString& LayoutsDir, FString& OutError);
	void ExpandSections();

	TArray<const UClass*> RegisteredClasses;
	TUniquePtr<FWidgetViewport> Viewport;
	TMap<const UUserWidget*, FSliderBlueprintState> SliderStates;
};
