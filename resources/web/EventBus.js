// A tiny publish/subscribe hub, so the parts of the page never reach into
// each other: each one announces what happened and listens for what it needs.
export class EventBus {
  constructor() { this.handlers = new Map(); }

  on(name, handler) {
    if (!this.handlers.has(name)) this.handlers.set(name, new Set());
    this.handlers.get(name).add(handler);
    return () => this.handlers.get(name).delete(handler);
  }

  emit(name, detail) {
    const set = this.handlers.get(name);
    if (!set) return;
    for (const handler of [...set]) handler(detail);
  }
}
