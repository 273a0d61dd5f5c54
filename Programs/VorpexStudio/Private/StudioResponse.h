#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"

#include <string>
#include <utility>
#include <vector>

/** What a request gets: a status, a content type, a body and extra headers. */
struct FStudioResponse
{
	int32 Status = 200;
	std::string ContentType = "application/json";
	std::string Body;
	std::vector<std::pair<std::string, std::string>> Headers;

	/** Object as JSON text. */
	static FStudioResponse Json(const TSharedRef<FJsonObject>& Object, int32 Status = 200);
	/** {"error": Message} with a 4xx or 5xx Status. */
	static FStudioResponse Error(int32 Status, const FString& Message);
	static FStudioResponse Bytes(std::string ContentType, std::string Body);

	bool IsOk() const { return Status >= 200 && Status < 300; }
};

/**
 * Reads a request body that must be one JSON object. Null, with the 400 answer in OutRefusal,
 * when it is empty, not JSON or not an object.
 */
TSharedPtr<FJsonObject> ParseRequestObject(const std::string& Body, FStudioResponse& OutRefusal);

/** A field of a request that must be a JSON string (a number is not taken for its text); false otherwise. */
bool ReadStringField(const FJsonObject& Request, const TCHAR* Field, FString& OutValue);
