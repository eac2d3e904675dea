#pragma once
// Loading recorded traffic: the File menu's dataset action.
void openDataset();
