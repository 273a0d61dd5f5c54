#include "StudioResponse.h"

#include "Policies/CondensedJsonPrintPolicy.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"

FStudioResponse FStudioResponse::Json(const TSharedRef<FJsonObject>& Object, int32 Status)
{
	FString Text;
	FJsonSerializer::Serialize(Object, TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>::Create(&Text));
	FStudioResponse Response;
	Response.Status = Status;
	Response.Body = std::string(*Text);
	return Response;
}

FStudioResponse FStudioResponse::Error(int32 Status, const FString& Message)
{
	const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
	Object->SetStringField(TEXT("error"), Message);
	return Json(Object, Status);
}

FStudioResponse FStudioResponse::Bytes(std::string ContentType, std::string Body)
{
	FStudioResponse Response;
	Response.ContentType = std::move(ContentType);
	Response.Body = std::move(Body);
	return Response;
}

TSharedPtr<FJsonObject> ParseRequestObject(const std::string& Body, FStudioResponse& OutRefusal)
{
	TSharedPtr<FJsonObject> Object;
	if (!FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(FString(Body)), Object) || !Object.IsValid())
	{
		OutRefusal = FStudioResponse::Error(400, TEXT("the request body is not a JSON object"));
		return nullptr;
	}
	return Object;
}

bool ReadStringField(const FJsonObject& Request, const TCHAR* Field, FString& OutValue)
{
	return Request.HasTypedField<EJson::String>(Field) && Request.TryGetStringField(Field, OutValue);
}
