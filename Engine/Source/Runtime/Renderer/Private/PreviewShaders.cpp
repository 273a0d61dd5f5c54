#include "PreviewShaders.h"

IMPLEMENT_GLOBAL_SHADER(FPreviewMeshVS, "/Engine/Private/PreviewMesh.usf", "MainVS", SF_Vertex);
IMPLEMENT_GLOBAL_SHADER(FPreviewMeshPS, "/Engine/Private/PreviewMesh.usf", "MainPS", SF_Pixel);
IMPLEMENT_GLOBAL_SHADER(FPreviewLineVS, "/Engine/Private/PreviewLine.usf", "MainVS", SF_Vertex);
IMPLEMENT_GLOBAL_SHADER(FPreviewLinePS, "/Engine/Private/PreviewLine.usf", "MainPS", SF_Pixel);
IMPLEMENT_GLOBAL_SHADER(FPreviewResolveVS, "/Engine/Private/PreviewResolve.usf", "MainVS", SF_Vertex);
IMPLEMENT_GLOBAL_SHADER(FPreviewResolvePS, "/Engine/Private/PreviewResolve.usf", "MainPS", SF_Pixel);
