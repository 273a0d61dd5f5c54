#include "Blueprint/UserWidget.h"

#include "Blueprint/WidgetBlueprintRegistry.h"
#include "Blueprint/WidgetLayout.h"
#include "UObject/Class.h"
#include "UObject/UnrealType.h"

bool UUserWidget::Initialize()
{
	if (bInitialized)
	{
		return false;
	}
	bInitialized = true;
	if (!WidgetTree)
	{
		WidgetTree = NewObject<UWidgetTree>(this, FName(TEXT("WidgetTree")));
	}
	const FWidgetBlueprint* Blueprint = FWidgetBlueprintRegistry::Get().Find(GetClass());
	if (!WidgetTree->RootWidget && Blueprint && Blueprint->Layout)
	{
		WidgetTree->RootWidget = Blueprint->Layout->Build(*WidgetTree);
	}
	BindWidgets();
	NativeOnInitialized();
	return true;
}

void UUserWidget::BindWidgets()
{
	static const FName BindWidget(TEXT("BindWidget"));
	for (FProperty* Property : GetClass()->GetProperties())
	{
		const FObjectProperty* Reference = CastField<FObjectProperty>(Property);
		if (!Reference || !Property->HasMetaData(BindWidget))
		{
			continue;
		}
		UWidget* Widget = WidgetTree->FindWidget(Property->GetFName());
		if (!Widget || !Widget->IsA(Reference->PropertyClass))
		{
			UE_LOG(LogUMG, Warning, TEXT("%s: the layout has no %s named %s for its bound widget"), *GetName(), *Reference->PropertyClass->GetName(),
				*Property->GetName());
			continue;
		}
		Reference->SetObjectPropertyValue(Property->ContainerPtrToValuePtr(this), Widget);
	}
}

void UUserWidget::Construct()
{
	if (!bConstructed)
	{
		bConstructed = true;
		NativeConstruct();
	}
}

void UUserWidget::TickWidget(float InDeltaTime)
{
	NativeTick(GetTickSpaceGeometry(), InDeltaTime);
}

void UUserWidget::GetChildWidgets(TArray<UWidget*>& OutChildren) const
{
	if (WidgetTree && WidgetTree->RootWidget)
	{
		OutChildren.Add(WidgetTree->RootWidget.Get());
	}
}

int32 UUserWidget::Paint(const FPaintArgs& Args, const FGeometry& Geometry, const FSlateRect& CullingRect, FSlateWindowElementList& OutDrawElements,
	int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const
{
	const int32 ContentLayer = Super::Paint(Args, Geometry, CullingRect, OutDrawElements, LayerId, InWidgetStyle, bParentEnabled);
	return NativePaint(Args, Geometry, CullingRect, OutDrawElements, ContentLayer, InWidgetStyle, bParentEnabled);
}

int32 UUserWidget::NativePaint(const FPaintArgs& Args, const FGeometry& AllottedGeometry, const FSlateRect& MyCullingRect,
	FSlateWindowElementList& OutDrawElements, int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const
{
	return LayerId;
}

void UUserWidget::ProcessEvent(UFunction* Function, void* Parms)
{
	check(Function != nullptr);
	// A C++ subclass implements an event with a native function of the same name, which the
	// class's function lookup finds instead of the event's declaration.
	const bool bUnimplementedEvent = Function->HasAnyFunctionFlags(FUNC_BlueprintEvent) && !Function->HasAnyFunctionFlags(FUNC_Native);
	const FWidgetBlueprint* Blueprint = bUnimplementedEvent ? FWidgetBlueprintRegistry::Get().Find(GetClass()) : nullptr;
	if (Blueprint && Blueprint->Listener)
	{
		Blueprint->Listener->OnBlueprintEvent(*this, *Function, Parms);
		return;
	}
	Super::ProcessEvent(Function, Parms);
}

FVector2f UUserWidget::ComputeDesiredSize() const
{
	return WidgetTree && WidgetTree->RootWidget ? FVector2f(WidgetTree->RootWidget->GetDesiredSize()) : FVector2f(0.0f, 0.0f);
}

void UUserWidget::ArrangeChildren(const FGeometry& Geometry)
{
	if (WidgetTree && WidgetTree->RootWidget)
	{
		WidgetTree->RootWidget->Arrange(Geometry.MakeChild(FVector2f(0.0f, 0.0f), FVector2f(Geometry.GetLocalSize())));
	}
}

UUserWidget* UserWidget_Private::CreateWidget(UWorld* OwningWorld, UClass* UserWidgetClass, UClass* WidgetBase, FName WidgetName)
{
	if (!UserWidgetClass || !UserWidgetClass->IsChildOf(WidgetBase) || UserWidgetClass->HasAnyClassFlags(CLASS_Abstract))
	{
		UE_LOG(LogUMG, Error, TEXT("CreateWidget: %s is no class of widgets of %s that can be made"),
			UserWidgetClass ? *UserWidgetClass->GetName() : TEXT("a null class"), *WidgetBase->GetName());
		return nullptr;
	}
	if (!OwningWorld)
	{
		UE_LOG(LogUMG, Error, TEXT("CreateWidget: a %s needs an owner in a world"), *UserWidgetClass->GetName());
		return nullptr;
	}
	UUserWidget* Widget = NewObject<UUserWidget>(OwningWorld, UserWidgetClass, WidgetName);
	Widget->Initialize();
	return Widget;
}
