#pragma once

// The Json module's log category: conversion errors and missing fields are reported here.

#include "Logging/LogMacros.h"

JSON_API DECLARE_LOG_CATEGORY_EXTERN(LogJson, Log, All);
