#include "Blueprint/UserWidget.h"
#include "Blueprint/WidgetBlueprintRegistry.h"
#include "Blueprint/WidgetLayout.h"
#include "Blueprint/WidgetLayoutLibrary.h"
#include "Components/TextBlock.h"
#include "Engine/GameViewportClient.h"
#include "Engine/World.h"
#include "Logging/LogCapture.h"
#include "Rendering/DrawElements.h"
#include "UMGTestWidgets.h"
#include "UObject/Class.h"
#include "WidgetViewport.h"

#include <gtest/gtest.h>

namespace
{
	class UserWidgetTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			World = UWorld::CreateWorld(EWorldType::Game);
			World->GetGameViewport()->SetViewportSize(FIntPoint(300, 150));
			World->GetGameViewport()->SetDPIScale(1.5f);
		}

		void TearDown() override
		{
			FWidgetBlueprintRegistry::Get().Unregister(UTestLayoutWidget::StaticClass());
			World->DestroyWorld();
		}

		UWorld* World = nullptr;
	};

	/** Keeps what a blueprint's event graph would be given. */
	class FRecordingListener : public IWidgetBlueprintListener
	{
	public:
		void OnBlueprintEvent(UUserWidget& Widget, const UFunction& Event, void* Parms) override
		{
			const int32* Coordinates = static_cast<const int32*>(Parms);
			Received.Add(FString::Printf(TEXT("%s %s %d,%d"), *Widget.GetName(), *Event.GetName(), Coordinates[0], Coordinates[1]));
		}

		TArray<FString> Received;
	};
}

TEST_F(UserWidgetTest, CreateWidgetMakesOnlyMakeableSubclassesOfTheRequestedClassInAWorld)
{
	FLogCapture Log;
	UTestNativeWidget* Widget = CreateWidget<UTestNativeWidget>(World, UTestNativeWidget::StaticClass());
	ASSERT_NE(Widget, nullptr);
	EXPECT_EQ(Widget->GetWorld(), World);
	EXPECT_EQ(Widget->Events, TArray<FString>{TEXT("Initialized")});
	EXPECT_FALSE(Widget->Initialize()) << "initialised once";

	EXPECT_EQ(CreateWidget<UTestImplementingWidget>(World, UTestNativeWidget::StaticClass()), nullptr) << "a base class of the requested one";
	EXPECT_EQ(CreateWidget<UTestNativeWidget>(World, UTestLayoutWidget::StaticClass()), nullptr) << "an unrelated class";
	EXPECT_EQ(CreateWidget<UUserWidget>(World, UTestAbstractWidget::StaticClass()), nullptr);
	EXPECT_EQ(CreateWidget<UUserWidget>(World, nullptr), nullptr);
	EXPECT_EQ(CreateWidget<UTestNativeWidget>(static_cast<UObject*>(nullptr), UTestNativeWidget::StaticClass()), nullptr) << "no world";
	EXPECT_EQ(Log.GetMessages(ELogVerbosity::Error).Num(), 5);
	EXPECT_TRUE(Log.Contains(TEXT("CreateWidget: TestLayoutWidget is no class of widgets of TestNativeWidget that can be made")));
}

TEST_F(UserWidgetTest, BoundWidgetsAreTheTreesWidgetsOfTheirNames)
{
	UTestNativeWidget* Widget = CreateWidget<UTestNativeWidget>(World, UTestNativeWidget::StaticClass());
	ASSERT_NE(Widget->SettingsList, nullptr);
	EXPECT_EQ(Widget->SettingsList, Widget->WidgetTree->RootWidget);
	ASSERT_NE(Widget->Target, nullptr);
	EXPECT_EQ(Widget->Target->GetParent(), Widget->SettingsList);
}

TEST_F(UserWidgetTest, TheViewportConstructsOnceLaysOutOverTheScaledViewportThenTicksAndPaintsContentFirst)
{
	UTestNativeWidget* Widget = CreateWidget<UTestNativeWidget>(World, UTestNativeWidget::StaticClass());
	EXPECT_EQ(Widget->GetCachedGeometry().GetLocalSize(), FVector2D(0.0, 0.0)) << "not laid out before the first tick";
	FWidgetViewport Viewport(*Widget);
	Viewport.Tick(0.1f);
	Viewport.Tick(0.1f);
	EXPECT_EQ(Widget->Events, (TArray<FString>{TEXT("Initialized"), TEXT("Construct"), TEXT("Tick 200x100"), TEXT("Tick 200x100")}))
		<< "300 x 150 pixels at scale 1.5";
	EXPECT_EQ(Widget->Target->GetCachedGeometry().GetAbsoluteSize(), FVector2D(300.0, 75.0)) << "filled across, 50 units high";

	FSlateWindowElementList Elements;
	EXPECT_EQ(Viewport.Paint(Elements), 1);
	EXPECT_EQ(Widget->PaintedLayer, 0);
	ASSERT_EQ(Elements.GetDrawElements().Num(), 1);
	const FSlateDrawElement& Line = Elements.GetDrawElements()[0];
	EXPECT_EQ(Line.GetPaintGeometry().LocalToWindow(Line.GetPoints()[1]), FVector2f(15.0f, 7.5f));
}

TEST_F(UserWidgetTest, UnimplementedEventsGoToTheRegisteredListenerAndImplementedOnesToTheSubclass)
{
	FRecordingListener Listener;
	UTestImplementingWidget* Implementing = CreateWidget<UTestImplementingWidget>(World, UTestImplementingWidget::StaticClass());
	Implementing->SetPickerPosition(3, 4);
	EXPECT_EQ(Implementing->Events.Last(), TEXT("Picker 3,4"));

	UTestLayoutWidget* Unregistered = CreateWidget<UTestLayoutWidget>(World, UTestLayoutWidget::StaticClass());
	EXPECT_NO_THROW(Unregistered->SetPickerPosition(1, 2)) << "an event nothing implements does nothing";

	FWidgetBlueprintRegistry::Get().Register(UTestLayoutWidget::StaticClass(), FWidgetBlueprint{nullptr, &Listener});
	UTestLayoutWidget* Registered = CreateWidget<UTestLayoutWidget>(World, UTestLayoutWidget::StaticClass(), FName(TEXT("Picker")));
	Registered->SetPickerPosition(-7, 12);
	EXPECT_EQ(Listener.Received, TArray<FString>{TEXT("Picker SetPickerPosition -7,12")});
}

TEST_F(UserWidgetTest, ARegisteredLayoutBuildsTheTreeAndBindsItsNamedWidgets)
{
	FString Error;
	TSharedPtr<const FWidgetLayout> Layout = FWidgetLayout::Parse(TEXT(R"({"class": "VerticalBox", "name": "SettingsList", "children": [
		{"class": "TextBlock", "text": "Editor", "fontSize": 12},
		{"class": "SizeBox", "name": "Target", "width": 64, "height": 32, "children": [{"class": "TextBlock"}]}]})"),
		Error);
	ASSERT_TRUE(Layout) << *Error;
	FWidgetBlueprintRegistry::Get().Register(UTestLayoutWidget::StaticClass(), FWidgetBlueprint{Layout, nullptr});
	UTestLayoutWidget* Widget = CreateWidget<UTestLayoutWidget>(World, UTestLayoutWidget::StaticClass());
	ASSERT_NE(Widget->SettingsList, nullptr);
	ASSERT_EQ(Widget->SettingsList->GetChildrenCount(), 2);
	const UTextBlock* Caption = Cast<UTextBlock>(Widget->SettingsList->GetChildAt(0));
	ASSERT_NE(Caption, nullptr);
	EXPECT_EQ(Caption->GetText().ToString(), TEXT("Editor"));
	EXPECT_EQ(Caption->GetFont().Size, 12.0f);
	const USizeBox* Target = Widget->WidgetTree->FindWidget<USizeBox>(FName(TEXT("target")));
	ASSERT_NE(Target, nullptr);
	EXPECT_EQ(Target->WidthOverride, 64.0f);
	EXPECT_TRUE(Target->bOverride_HeightOverride);
	EXPECT_NE(Target->GetContent(), nullptr);

	UTestLayoutWidget* Second = CreateWidget<UTestLayoutWidget>(World, UTestLayoutWidget::StaticClass());
	EXPECT_NE(Second->SettingsList, Widget->SettingsList) << "each widget gets widgets of its own";
}

TEST_F(UserWidgetTest, ALayoutWithoutABoundWidgetLeavesItUnboundWithAWarning)
{
	FString Error;
	FWidgetBlueprintRegistry::Get().Register(
		UTestLayoutWidget::StaticClass(), FWidgetBlueprint{FWidgetLayout::Parse(TEXT(R"({"class": "SizeBox", "name": "SettingsList"})"), Error), nullptr});
	FLogCapture Log;
	UTestLayoutWidget* Widget = CreateWidget<UTestLayoutWidget>(World, UTestLayoutWidget::StaticClass(), FName(TEXT("Editor")));
	EXPECT_EQ(Widget->SettingsList, nullptr) << "the widget of that name is of another class";
	EXPECT_EQ(Log.GetMessages(ELogVerbosity::Warning), TArray<FString>{TEXT("Editor: the layout has no VerticalBox named SettingsList for its bound widget")});
}

TEST(WidgetLayoutTest, BadLayoutsAreRefusedWithThePlaceAndTheReason)
{
	const TPair<const TCHAR*, const TCHAR*> Cases[] = {
		{TEXT("[1, 2]"), TEXT("root: a widget is a JSON object")},
		{TEXT("{\"class\": \"VerticalBox\", \"children\": [{\"class\": \"Nothing\"}]}"), TEXT("root.children[0]: \"Nothing\" is no widget class a layout can make")},
		{TEXT("{\"class\": \"UserWidget\"}"), TEXT("root: \"UserWidget\" is no widget class a layout can make")},
		{TEXT("{\"class\": \"PanelWidget\"}"), TEXT("root: \"PanelWidget\" is no widget class a layout can make")},
		{TEXT("{\"class\": \"TextBlock\", \"children\": []}"), TEXT("root: only panels have \"children\"")},
		{TEXT("{\"class\": \"SizeBox\", \"children\": [{\"class\": \"TextBlock\"}, {\"class\": \"TextBlock\"}]}"),
			TEXT("root: a content widget holds one child at most")},
		{TEXT("{\"class\": \"TextBlock\", \"width\": 3}"), TEXT("root: \"width\" is a number from 0 to 1e6, for a SizeBox")},
		{TEXT("{\"class\": \"SizeBox\", \"height\": -1}"), TEXT("root: \"height\" is a number from 0 to 1e6, for a SizeBox")},
		{TEXT("{\"class\": \"SizeBox\", \"text\": \"x\"}"), TEXT("root: \"text\" is a string, for text blocks")},
		{TEXT("{\"class\": \"SizeBox\", \"name\": \"\"}"), TEXT("root: \"name\" must be a non-empty string")},
		{TEXT("{\"class\": \"SizeBox\", \"colour\": 1}"), TEXT("root: unknown key \"colour\"")},
		{TEXT("{\"name\": \"x\"}"), TEXT("root: \"class\" must name a widget class")},
		{TEXT("{\"class\": "), TEXT("the layout is not valid JSON")},
	};
	for (const auto& [Json, Expected] : Cases)
	{
		FString Error;
		EXPECT_FALSE(FWidgetLayout::Parse(Json, Error)) << Json;
		EXPECT_EQ(Error, Expected) << Json;
	}
}

TEST(WidgetLayoutLibraryTest, TheViewportScaleIsTheWorldsViewportsOrOne)
{
	UWorld* Shown = UWorld::CreateWorld(EWorldType::Game);
	Shown->GetGameViewport()->SetDPIScale(1.25f);
	UWorld* Hidden = UWorld::CreateWorld(EWorldType::Editor);
	UObject* InShown = NewObject<UTextBlock>(Shown);
	EXPECT_EQ(UWidgetLayoutLibrary::GetViewportScale(InShown), 1.25f);
	EXPECT_EQ(UWidgetLayoutLibrary::GetViewportScale(NewObject<UTextBlock>(Hidden)), 1.0f) << "a world that is not shown";
	EXPECT_EQ(UWidgetLayoutLibrary::GetViewportScale(nullptr), 1.0f);
	Shown->DestroyWorld();
	Hidden->DestroyWorld();
}
