#include "JsonFunctionCall.h"
#include "JsonUtilitiesTestHelpers.h"
#include "JsonUtilitiesTestTypes.h"
#include "Policies/CondensedJsonPrintPolicy.h"
#include "Serialization/JsonWriter.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

namespace
{
	class JsonFunctionCall : public ::testing::Test
	{
	protected:
		void SetUp() override { Callee = NewObject<UJsonTestCallee>(); }

		/** Calls Function with the JSON text Arguments; the results as condensed text, or "" when the call failed. */
		FString Call(const TCHAR* Function, const TCHAR* Arguments)
		{
			TSharedPtr<FJsonObject> Results;
			const bool bCalled = FJsonFunctionCall::Call(Callee, FName(Function), ParseJsonObject(FString(Arguments)), Results, Error, &Failure);
			EXPECT_EQ(bCalled, Results.IsValid());
			EXPECT_EQ(bCalled, Failure == EJsonFunctionCallFailure::None);
			EXPECT_EQ(bCalled, Error.IsEmpty());
			FString Text;
			if (bCalled)
			{
				FJsonSerializer::Serialize(Results.ToSharedRef(), TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>::Create(&Text));
			}
			return Text;
		}

		UJsonTestCallee* Callee = nullptr;
		FString Error;
		EJsonFunctionCallFailure Failure = EJsonFunctionCallFailure::None;
	};
}

TEST_F(JsonFunctionCall, InputsAndReturnValue)
{
	Callee->Offset = 10;
	EXPECT_STREQ(*Call(TEXT("Add"), TEXT(R"({"A": 2, "b": 3})")), R"({"ReturnValue":15})");
	// A missing argument keeps the parameter block's start value; function names ignore case too.
	EXPECT_STREQ(*Call(TEXT("add"), TEXT(R"({"A": 2})")), R"({"ReturnValue":12})");
	EXPECT_STREQ(*Call(TEXT("MakeCharacter"), TEXT(R"({"Name": "Ann", "Shade": "Dark", "Weights": [0.5, 2]})")),
		R"({"ReturnValue":{"name":"Ann:5","blends":[0.5,2]}})");
}

TEST_F(JsonFunctionCall, OutAndReferenceParametersComeBack)
{
	// Parts is an output; Limit (UPARAM(ref)) goes in and comes back; the const references do not come back.
	EXPECT_STREQ(*Call(TEXT("Split"), TEXT(R"({"Text": "a,b,c", "Separator": ",", "Limit": 2})")),
		R"({"Parts":["a","b"],"Limit":1,"ReturnValue":true})");
	EXPECT_STREQ(*Call(TEXT("Split"), TEXT(R"({"Text": "a,b,c", "Separator": ",", "Parts": ["old"]})")),
		R"({"Parts":[],"Limit":3,"ReturnValue":false})");
}

TEST_F(JsonFunctionCall, BadCallsFailWithoutRunning)
{
	Callee->Offset = 4;
	EXPECT_STREQ(*Call(TEXT("Spend"), TEXT(R"({"Amount": 1, "Amuont": 2})")), "");
	EXPECT_STREQ(*Error, "Spend has no parameter named 'Amuont'");
	EXPECT_STREQ(*Call(TEXT("Add"), TEXT(R"({"ReturnValue": 1})")), "");
	EXPECT_STREQ(*Error, "Add has no parameter named 'ReturnValue'");
	EXPECT_STREQ(*Call(TEXT("Spend"), TEXT(R"({"Amount": "lots"})")), "");
	EXPECT_STREQ(*Error, "Unable to convert 'Amount': expected an integer, found the string \"lots\"");
	EXPECT_EQ(Failure, EJsonFunctionCallFailure::Refused);
	EXPECT_STREQ(*Call(TEXT("MakeCharacter"), TEXT(R"({"Weights": [1, {}]})")), "");
	EXPECT_STREQ(*Error, "Unable to convert 'Weights[1]': expected a number, found an object");
	EXPECT_STREQ(*Call(TEXT("Vanish"), TEXT("{}")), "");
	EXPECT_STREQ(*Error, "JsonTestCallee has no function named Vanish");
	EXPECT_EQ(Failure, EJsonFunctionCallFailure::Refused);
	EXPECT_EQ(Callee->Offset, 4);

	TSharedPtr<FJsonObject> Results = MakeShared<FJsonObject>().ToSharedPtr();
	EXPECT_FALSE(FJsonFunctionCall::Call(nullptr, FName(TEXT("Add")), MakeShared<FJsonObject>(), Results, Error));
	EXPECT_STREQ(*Error, "Cannot call Add: the object is null or being destroyed");
	EXPECT_FALSE(Results.IsValid());
}

TEST_F(JsonFunctionCall, FailedCheckInsideTheCallIsReported)
{
	Callee->Offset = 4;
	EXPECT_STREQ(*Call(TEXT("Spend"), TEXT(R"({"Amount": -1})")), "");
	EXPECT_TRUE(Error.StartsWith(FString(TEXT("Spend failed: ")), ESearchCase::CaseSensitive)) << *Error;
	EXPECT_TRUE(Error.Contains(FString(TEXT("Amount >= 0")), ESearchCase::CaseSensitive)) << *Error;
	EXPECT_TRUE(Error.Contains(FString(TEXT("cannot spend -1")), ESearchCase::CaseSensitive)) << *Error;
	EXPECT_EQ(Failure, EJsonFunctionCallFailure::CheckFailed);
	EXPECT_EQ(Callee->Offset, 4);
	EXPECT_STREQ(*Call(TEXT("Spend"), TEXT(R"({"Amount": 3})")), "{}");
	EXPECT_EQ(Callee->Offset, 1);
}

TEST_F(JsonFunctionCall, ParameterBlockIsDestroyedOnEveryPath)
{
	const int32 LiveBefore = FJsonTestTracked::Live;
	EXPECT_STREQ(*Call(TEXT("Track"), TEXT(R"({"Tracked": {"value": 2}, "Amount": 3})")), R"({"ReturnValue":5})");
	EXPECT_EQ(FJsonTestTracked::Live, LiveBefore);
	EXPECT_STREQ(*Call(TEXT("Track"), TEXT(R"({"Tracked": {"value": 2}, "Amount": "x"})")), "");
	EXPECT_EQ(FJsonTestTracked::Live, LiveBefore);
	EXPECT_STREQ(*Call(TEXT("Track"), TEXT(R"({"Tracked": {"value": 2}, "Amount": -3})")), "");
	EXPECT_TRUE(Error.Contains(FString(TEXT("Amount >= 0")), ESearchCase::CaseSensitive)) << *Error;
	EXPECT_EQ(FJsonTestTracked::Live, LiveBefore);
}
