// The JSON form of a vertex cache: the three fields in the order the sample's caches hold them,
// one per line, the opacities on one line, and names written as JSON strings.

#include "VertexCacheJson.h"

#include <gtest/gtest.h>

TEST(VertexCacheJsonTest, PrintsOneFieldPerLineWithTheOpacitiesOnTheirLine)
{
	const FString Json = FVertexCacheJson::Print(TEXT("/Game/Characters/SK_Body.SK_Body"), TEXT("Culling/PT_Tights.bin"), {1.0f, 0.0f, 0.5f, 1.0f});
	EXPECT_STREQ(*Json, "{\n"
						"  \"TargetSkeletalMesh\": \"/Game/Characters/SK_Body.SK_Body\",\n"
						"  \"BinFileDirectory\": \"Culling/PT_Tights.bin\",\n"
						"  \"VertexOpacity\": [1.0,0.0,0.5,1.0]\n"
						"}\n");
}

TEST(VertexCacheJsonTest, AnEmptyCacheAndNamesThatNeedEscapesStayValidJson)
{
	const FString Json = FVertexCacheJson::Print(TEXT(""), TEXT("C:\\Points \"new\".bin"), {});
	EXPECT_STREQ(*Json, "{\n"
						"  \"TargetSkeletalMesh\": \"\",\n"
						"  \"BinFileDirectory\": \"C:\\\\Points \\\"new\\\".bin\",\n"
						"  \"VertexOpacity\": []\n"
						"}\n");
}
