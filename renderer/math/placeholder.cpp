// Placeholder until the vector math lands.
