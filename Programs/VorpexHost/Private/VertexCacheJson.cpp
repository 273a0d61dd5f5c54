#include "VertexCacheJson.h"

#include <nlohmann/json.hpp>

#include <iterator>
#include <string>

namespace
{
	using FJson = nlohmann::ordered_json;

	std::string FormatFields(const FJson& Object)
	{
		std::string Text = "{\n";
		for (auto Field = Object.begin(); Field != Object.end(); ++Field)
		{
			Text += "  " + FJson(Field.key()).dump() + ": " + Field.value().dump() + (std::next(Field) == Object.end() ? "\n" : ",\n");
		}
		return Text + "}\n";
	}
}

FString FVertexCacheJson::Print(const FString& TargetMesh, const FString& PointsFile, const TArray<float>& VertexOpacity)
{
	FJson Opacities = FJson::array();
	for (const float Opacity : VertexOpacity)
	{
		Opacities.push_back(Opacity);
	}
	const FJson Json = {{"TargetSkeletalMesh", std::string(*TargetMesh)}, {"BinFileDirectory", std::string(*PointsFile)}, {"VertexOpacity", Opacities}};
	return FString(FormatFields(Json).c_str());
}
