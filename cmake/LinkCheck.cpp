// The program of a layer's link check: it is linked, never run. The layer's library is linked whole beside
// it, so that every symbol the layer uses must come from the libraries it declares.
int main()
{
    return 0;
}
