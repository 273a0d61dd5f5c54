#pragma once

#include "Blueprint/WidgetTree.h"
#include "Components/Widget.h"
#include "CoreMinimal.h"
#include "Engine/World.h"
#include "Templates/SubclassOf.h"
#include "UMGLogs.h"

#include "UserWidget.generated.h"

/**
 * A widget made of other widgets, as a widget blueprint describes it: its layout (the widget
 * tree), the widgets the class binds by name, and the blueprint events it implements.
 *
 * A blueprint is either a C++ subclass, which builds its tree in Initialize before calling the
 * base and implements events as functions of the same name, or a layout description
 * registered for the class (FWidgetBlueprintRegistry), whose tree is built from the
 * description and whose events go to the registered listener.
 *
 * Life: CreateWidget initialises the widget (tree, bound widgets, NativeOnInitialized); a
 * viewport constructs it once it is in the viewport's tree (NativeConstruct), ticks it with
 * its laid-out geometry (NativeTick) and paints it (its content, then NativePaint on top).
 */
UCLASS(Abstract, EditInlineNew, BlueprintType)
class UMG_API UUserWidget : public UWidget
{
	GENERATED_BODY()

public:
	UPROPERTY(Category = "Layout")
	TObjectPtr<UWidgetTree> WidgetTree = nullptr;

	/**
	 * Builds the tree from the class's registered layout unless it has a root already, binds
	 * every object property marked BindWidget to the tree's widget of the property's name and
	 * class (a warning on LogUMG where there is none), then runs NativeOnInitialized. True the
	 * first time, false after.
	 */
	virtual bool Initialize();

	/** Runs NativeConstruct the first time; the viewport calls it when the widget joins its tree. */
	void Construct();
	bool IsConstructed() const { return bConstructed; }

	/** Runs NativeTick with the widget's tick-space geometry. */
	void TickWidget(float InDeltaTime);

	void GetChildWidgets(TArray<UWidget*>& OutChildren) const override;
	int32 Paint(const FPaintArgs& Args, const FGeometry& Geometry, const FSlateRect& CullingRect, FSlateWindowElementList& OutDrawElements,
		int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const override;

	/** A blueprint event that no C++ subclass implements goes to the listener registered for the class, if any. */
	void ProcessEvent(UFunction* Function, void* Parms) override;

protected:
	virtual void NativeOnInitialized() {}
	virtual void NativeConstruct() {}
	virtual void NativeTick(const FGeometry& MyGeometry, float InDeltaTime) {}
	/** Draws on top of the widget's content, from LayerId (the content's highest layer); returns the highest layer used. */
	virtual int32 NativePaint(const FPaintArgs& Args, const FGeometry& AllottedGeometry, const FSlateRect& MyCullingRect,
		FSlateWindowElementList& OutDrawElements, int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const;

	FVector2f ComputeDesiredSize() const override;
	void ArrangeChildren(const FGeometry& Geometry) override;

private:
	void BindWidgets();

	bool bInitialized = false;
	bool bConstructed = false;
};

namespace UserWidget_Private
{
	/** A new, initialised widget of UserWidgetClass in OwningWorld; null when the class is not a non-abstract subclass of WidgetBase or there is no world. */
	UMG_API UUserWidget* CreateWidget(UWorld* OwningWorld, UClass* UserWidgetClass, UClass* WidgetBase, FName WidgetName);
}

/**
 * A new user widget of UserWidgetClass, initialised, with the owning object's world as its
 * outer. Null, with an error on LogUMG, when the class is null, abstract or not a subclass
 * of WidgetT, or the owner has no world.
 */
template <typename WidgetT = UUserWidget, typename OwnerType = UObject>
WidgetT* CreateWidget(OwnerType* OwningObject, TSubclassOf<UUserWidget> UserWidgetClass = WidgetT::StaticClass(), FName WidgetName = NAME_None)
{
	UWorld* World = OwningObject ? OwningObject->GetWorld() : nullptr;
	return static_cast<WidgetT*>(UserWidget_Private::CreateWidget(World, UserWidgetClass.Get(), WidgetT::StaticClass(), WidgetName));
}
