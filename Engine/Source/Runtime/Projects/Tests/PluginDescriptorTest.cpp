#include "Internationalization/Text.h"
#include "PluginDescriptor.h"

#include <gtest/gtest.h>

#include <string>

TEST(PluginDescriptorTest, ReadsModuleEntriesWithEveryKnownSpelling)
{
	FPluginDescriptor Descriptor;
	FText Reason;
	ASSERT_TRUE(Descriptor.Read(TEXT(R"({ "Modules": [
		{ "Name": "A", "Type": "RuntimeAndProgram", "LoadingPhase": "EarliestPossible" },
		{ "Name": "B", "Type": "clientonlynocommandlet", "LoadingPhase": "postengineinit" },
		{ "Name": "C", "Type": "UncookedOnly", "LoadingPhase": "None" } ] })"), &Reason))
		<< Reason.ToString().ToStdString();
	ASSERT_EQ(Descriptor.Modules.Num(), 3);
	EXPECT_EQ(Descriptor.Modules[0].Type, EHostType::RuntimeAndProgram);
	EXPECT_EQ(Descriptor.Modules[0].LoadingPhase, ELoadingPhase::EarliestPossible);
	EXPECT_EQ(Descriptor.Modules[1].Type, EHostType::ClientOnlyNoCommandlet);
	EXPECT_EQ(Descriptor.Modules[1].LoadingPhase, ELoadingPhase::PostEngineInit);
	EXPECT_EQ(Descriptor.Modules[2].Type, EHostType::UncookedOnly);
	EXPECT_EQ(Descriptor.Modules[2].LoadingPhase, ELoadingPhase::None);

	EXPECT_EQ(EHostType::FromString(TEXT("Runtime ")), EHostType::Max);
	EXPECT_EQ(EHostType::FromString(nullptr), EHostType::Max);
	EXPECT_EQ(ELoadingPhase::FromString(TEXT("")), ELoadingPhase::Max);
}

TEST(PluginDescriptorTest, ADescriptorThatCannotBeReadSaysWhyAndChangesNothing)
{
	struct FCase
	{
		const char* Text;
		const char* Reason;
	};
	const FCase Cases[] = {
		{"[]", "not a JSON object: Expected an object at the top level, found an array (line 1, character 1)"},
		{R"({ "FriendlyName": 3 })", "\"FriendlyName\" is not a string"},
		{R"({ "VersionName": true })", "\"VersionName\" is not a string"},
		{R"({ "Description": null })", "\"Description\" is not a string"},
		{R"({ "Modules": {} })", "\"Modules\" is not an array"},
		{R"({ "Modules": [ { "Name": "A", "Type": "Runtime" }, 7 ] })", "entry 1 of \"Modules\" is not an object"},
		{R"({ "Modules": [ { "Type": "Runtime" } ] })", "a module has no \"Name\" string"},
		{R"({ "Modules": [ { "Name": "", "Type": "Runtime" } ] })", "a module has no \"Name\" string"},
		{R"({ "Modules": [ { "Name": 5, "Type": "Runtime" } ] })", "a module has no \"Name\" string"},
		{R"({ "Modules": [ { "Name": "A" } ] })", "module 'A' has no \"Type\" string"},
		{R"({ "Modules": [ { "Name": "A", "Type": "Server" } ] })", "module 'A' has an unknown \"Type\" 'Server'"},
		{R"({ "Modules": [ { "Name": "A", "Type": "Runtime", "LoadingPhase": 1 } ] })",
			"module 'A' has a \"LoadingPhase\" that is not a string"},
		{R"({ "Modules": [ { "Name": "A", "Type": "Runtime", "LoadingPhase": "Later" } ] })",
			"module 'A' has an unknown \"LoadingPhase\" 'Later'"},
	};
	for (const FCase& Case : Cases)
	{
		FPluginDescriptor Descriptor;
		Descriptor.FriendlyName = TEXT("Before");
		Descriptor.Modules.AddDefaulted();
		FText Reason;
		EXPECT_FALSE(Descriptor.Read(FString(Case.Text), &Reason)) << Case.Text;
		EXPECT_EQ(Reason.ToString().ToStdString(), Case.Reason) << Case.Text;
		EXPECT_EQ(Descriptor.FriendlyName.ToStdString(), "Before") << Case.Text;
		EXPECT_EQ(Descriptor.Modules.Num(), 1) << Case.Text;
	}

	FPluginDescriptor Descriptor;
	FText Reason;
	EXPECT_FALSE(Descriptor.Load(TEXT("/nonexistent/Missing.uplugin"), &Reason));
	EXPECT_EQ(Reason.ToString().ToStdString(), "the file '/nonexistent/Missing.uplugin' could not be read");
	EXPECT_FALSE(Descriptor.Read(TEXT("{ \"FriendlyName\": \"x\", }"))) << "a missing reason pointer is fine";
}
