// The resource files of this folder register themselves when the program
// starts; this unit keeps the library non-empty when there are none.
