// The studio's requests with any body, while the sample's first character is being edited: a
// remote call (the request read, its object and function found, its arguments converted to the
// function's parameters) and a state load (the request read and the state's name checked).
// Every answer is a JSON object; a refusal says why under "error" with a 4xx status, and a 500
// comes only from a check failing inside a called function.

#include "FuzzCheck.h"
#include "FuzzSupport.h"
#include "LiveState.h"
#include "StudioApi.h"
#include "StudioResponse.h"

#include <algorithm>
#include <string>

namespace
{
	FStudioApi& EditingApi()
	{
		static FLiveState LiveState;
		static FStudioApi* const Api = [&]
		{
			FFuzzedSample& Sample = FFuzzedSample::Get();
			// Never destroyed, as the sample it edits.
			FStudioApi* const NewApi = new FStudioApi(Sample.GetEngine(), Sample.GetHost(), LiveState);
			FUZZ_CHECK(NewApi->BeginEditing(R"({"groupIndex": 0, "characterIndex": 0})").IsOk());
			return NewApi;
		}();
		return *Api;
	}

	void CheckAnswer(const FStudioResponse& Answer, std::initializer_list<int32> Statuses)
	{
		FUZZ_CHECK(std::find(Statuses.begin(), Statuses.end(), Answer.Status) != Statuses.end());
		FStudioResponse NotJson;
		const TSharedPtr<FJsonObject> Object = ParseRequestObject(Answer.Body, NotJson);
		FUZZ_CHECK(Object.IsValid());
		FString Error;
		FUZZ_CHECK(Answer.IsOk() || ReadStringField(*Object, TEXT("error"), Error));
	}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	FStudioApi& Api = EditingApi();
	const std::string Body(reinterpret_cast<const char*>(Data), Size);
	CheckAnswer(Api.Call(Body), {200, 400, 403, 404, 500});
	CheckAnswer(Api.LoadState(Body), {200, 400, 404, 422});
	FuzzSupport::CollectGarbageEvery(256);
	return 0;
}
