#include "HAL/IConsoleManager.h"
#include "Misc/AssertionMacros.h"

#include <gtest/gtest.h>

#include <optional>

TEST(ConsoleVariableTest, VariablesAreFoundByNameInAnyCaseAndSetFromText)
{
	TAutoConsoleVariable<int32> Count(TEXT("test.Console.Count"), 3, TEXT("A count."));
	TAutoConsoleVariable<bool> Enabled(TEXT("test.Console.Enabled"), false, TEXT("A switch."));
	TAutoConsoleVariable<float> Scale(TEXT("test.Console.Scale"), 0.5f, TEXT("A scale."));
	IConsoleManager& Manager = IConsoleManager::Get();

	IConsoleVariable* Found = Manager.FindConsoleVariable(TEXT("TEST.console.count"));
	ASSERT_EQ(Found, &Count);
	EXPECT_EQ(Found->GetHelp(), TEXT("A count."));
	EXPECT_TRUE(Found->Set(TEXT("-7")));
	EXPECT_EQ(Count.GetValueOnGameThread(), -7);
	EXPECT_EQ(Count.GetString(), TEXT("-7"));

	FString Error;
	EXPECT_TRUE(Manager.ProcessSetting(TEXT("test.console.enabled = true"), Error)) << *Error;
	EXPECT_TRUE(Enabled.GetValueOnRenderThread());
	EXPECT_TRUE(Manager.ProcessSetting(TEXT("test.Console.Enabled=0"), Error)) << *Error;
	EXPECT_FALSE(Enabled.GetValueOnAnyThread());
	EXPECT_TRUE(Manager.ProcessSetting(TEXT("test.Console.Scale=2.25"), Error)) << *Error;
	EXPECT_EQ(Scale.GetValueOnGameThread(), 2.25f);
	EXPECT_EQ(Scale.GetInt(), 2);
}

TEST(ConsoleVariableTest, BadSettingsChangeNothingAndSayWhy)
{
	TAutoConsoleVariable<int32> Count(TEXT("test.Console.Strict"), 4, TEXT("A count."));
	IConsoleManager& Manager = IConsoleManager::Get();
	FString Error;
	for (const TCHAR* Value : {TEXT("four"), TEXT("4x"), TEXT(""), TEXT("1.5"), TEXT("99999999999")})
	{
		EXPECT_FALSE(Count.Set(Value)) << Value;
	}
	EXPECT_EQ(Count.GetValueOnGameThread(), 4);

	EXPECT_FALSE(Manager.ProcessSetting(TEXT("test.Console.Strict"), Error));
	EXPECT_EQ(Error, TEXT("'test.Console.Strict' is not NAME=VALUE"));
	EXPECT_FALSE(Manager.ProcessSetting(TEXT("test.Console.Missing=1"), Error));
	EXPECT_EQ(Error, TEXT("no setting is called 'test.Console.Missing'"));
	EXPECT_FALSE(Manager.ProcessSetting(TEXT("test.Console.Strict=yes"), Error));
	EXPECT_EQ(Error, TEXT("'yes' is not a value of test.Console.Strict"));
	EXPECT_EQ(Count.GetValueOnGameThread(), 4);

	TAutoConsoleVariable<bool> Switch(TEXT("test.Console.Switch"), true, TEXT("A switch."));
	EXPECT_FALSE(Switch.Set(TEXT("2")));
	EXPECT_TRUE(Switch.GetValueOnGameThread());
}

TEST(ConsoleVariableTest, AVariableIsGoneWithItsDeclarationAndANameIsRegisteredOnce)
{
	{
		TAutoConsoleVariable<int32> Scoped(TEXT("test.Console.Scoped"), 1, TEXT(""));
		EXPECT_NE(IConsoleManager::Get().FindConsoleVariable(TEXT("test.Console.Scoped")), nullptr);
		std::optional<TAutoConsoleVariable<int32>> Twice;
		EXPECT_THROW(Twice.emplace(TEXT("TEST.console.SCOPED"), 2, TEXT("")), FCheckFailure);
	}
	EXPECT_EQ(IConsoleManager::Get().FindConsoleVariable(TEXT("test.Console.Scoped")), nullptr);
}
