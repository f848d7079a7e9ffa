#pragma once
// The plant handed to the layers that must not know it: the model database to the embedded server, and the
// demo plant to the start-up's creation of a missing database.

void installPlant();
